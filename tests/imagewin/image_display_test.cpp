// What an image window shows: its buffer scaled to the zoom in the window's stretch mode.
#include "image_window_fixture.h"

#include <cstring>
#include <vector>

using namespace qivtest;
using namespace platform::testing;

namespace {

using ImageDisplay = ImageWindowTest;

// 10 x 10 blocks, each its own colour.
std::uint32_t BlockColour(int x, int y) {
    const auto bx = static_cast<std::uint32_t>(x / 10);
    const auto by = static_cast<std::uint32_t>(y / 10);
    return (bx * 25) << 16 | (by * 25) << 8 | ((bx + by) * 12);
}

int Greys(const Capture& c) {
    int count = 0;
    for (std::uint32_t pixel : c.pixels) {
        count += pixel != 0 && pixel != 0xFFFFFF;
    }
    return count;
}

} // namespace

TEST_F(ImageDisplay, AWindowAtZoom30ShowsTheBufferScaled) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "scaled", 10, 10, 100, 100, 30); }), 0);
    PumpWorker();
    OnWorker([] {
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                Pixels32(0)[y * 100 + x] = BlockColour(x, y);
            }
        }
        return QIV_UpdateImage(0);
    });
    Capture shown;
    ASSERT_TRUE(CaptureClientSurface(qiv_image[0].hwnd, &shown));
    ASSERT_EQ(shown.width, 30);
    ASSERT_EQ(shown.height, 30);
    // Each block covers 3 x 3 screen pixels; the middle one of each samples inside the block.
    for (int by = 0; by < 10; ++by) {
        for (int bx = 0; bx < 10; ++bx) {
            ASSERT_EQ(shown.At(bx * 3 + 1, by * 3 + 1), BlockColour(bx * 10, by * 10))
                << bx << "," << by;
        }
    }

    // The same through a memory bitmap scaled by GDI, pixel for pixel.
    std::vector<std::uint32_t> reference(30 * 30);
    OnWorker([&] {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 30, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, target);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, 30, 30, qiv_image[0].memDC, 0, 0, 100, 100, SRCCOPY);
        std::memcpy(reference.data(), bits, reference.size() * 4);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(target);
        return 0;
    });
    EXPECT_EQ(shown.pixels, reference);
}

TEST_F(ImageDisplay, SmoothingAveragesAFineCheckerboardThatNearestKeepsBlackAndWhite) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "check", 10, 10, 100, 100, 30); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;
    OnWorker([] {
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                Pixels32(0)[y * 100 + x] = ((x + y) & 1) != 0 ? 0xFFFFFF : 0;
            }
        }
        return QIV_UpdateImage(0);
    });
    Capture nearest;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &nearest));
    EXPECT_EQ(Greys(nearest), 0);

    // Switching repaints when the worker pumps.
    ASSERT_EQ(OnWorker([] { return QIV_SetStretchMode(0, HALFTONE); }), 0);
    PumpWorker();
    Capture smooth;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &smooth));
    ASSERT_EQ(smooth.pixels.size(), 900u);
    EXPECT_EQ(Greys(smooth), 900);
    const std::uint32_t middle = smooth.At(15, 15);
    EXPECT_NEAR(static_cast<int>(middle & 0xFF), 128, 40);
    EXPECT_EQ(middle >> 16, middle & 0xFF); // grey, not tinted
}
