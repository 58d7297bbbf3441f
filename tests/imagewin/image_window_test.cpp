// Image windows as the user sees them: creation and its failures, captions, zoom, resize,
// closing and dragging, on real windows owned by a worker thread.
#include "image_window_fixture.h"

#include "imagewin/image_sizing.h"

#include <cstring>

using namespace qivtest;
using namespace platform::testing;

namespace {

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

RECT ClientOf(HWND hwnd) {
    return ImageWindowTest::Shown(hwnd).client;
}

RECT FrameOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

using ImageWindows = ImageWindowTest;

} // namespace

TEST_F(ImageWindows, CreationShowsAnOwnedWindowWithAClearedBufferAndBecomesCurrent) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(3, "Left side", 40, 50, 300, 200, 100); }), 0);
    PumpWorker();
    const ImageWindowRecord& r = qiv_image[3];
    ASSERT_EQ(r.inUse, 1);
    EXPECT_EQ(r.bits, 32);
    EXPECT_EQ(r.limitMode, 1);
    EXPECT_EQ(r.zoom, 100);
    EXPECT_EQ(qiv_target, 3);
    EXPECT_TRUE(IsSnapTarget(r.hwnd));

    const DesktopWindow shown = Shown(r.hwnd);
    EXPECT_TRUE(shown.visible);
    EXPECT_TRUE(shown.transientForOwner);
    EXPECT_EQ(shown.title, L"Left side(100%)");
    EXPECT_EQ(Width(shown.client), 300);
    EXPECT_EQ(Height(shown.client), 200);
    EXPECT_EQ(shown.frame.left, 40);
    EXPECT_EQ(shown.frame.top, 50);

    for (int i = 0; i < 300 * 200; ++i) {
        ASSERT_EQ(Pixels32(3)[i], 0u) << i;
    }
    EXPECT_EQ(qiv_pixels8[3], reinterpret_cast<std::uint8_t*>(qiv_pixels32[3]));
    Capture client;
    ASSERT_TRUE(CaptureClientSurface(r.hwnd, &client));
    EXPECT_EQ(client.At(150, 100), 0u);
}

TEST_F(ImageWindows, CreationRejectsBadArgumentsWithoutTouchingTheTable) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "first", -1, -1, 64, 32, 100); }), 0);
    const HWND first = qiv_image[0].hwnd;
    // A number in use leaves the existing window as it was.
    EXPECT_EQ(OnWorker([] { return QIV_CreateImage8(0, "second", -1, -1, 8, 8, 200); }), 1);
    EXPECT_EQ(qiv_image[0].hwnd, first);
    EXPECT_EQ(qiv_image[0].bits, 32);
    EXPECT_EQ(Caption(first), L"first(100%)");

    EXPECT_EQ(OnWorker([] { return QIV_CreateImage(256, "x", -1, -1, 8, 8, 100); }), 4);
    EXPECT_EQ(OnWorker([] { return QIV_CreateImageFL(-1, "x", -1, -1, 8, 8, 100); }), 4);
    EXPECT_EQ(OnWorker([] { return CreateImageWindow(100, 1, "x", -1, -1, 8, 8, 24); }), 3);
    EXPECT_EQ(qiv_image[1].inUse, 0);
    EXPECT_EQ(qiv_target, 0);
}

TEST_F(ImageWindows, SizesAreFittedBetweenTheScreenAndTheSmallestWindow) {
    // Width and height of 0 or less become 1.
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "dot", -1, -1, 0, -7, 100); }), 0);
    EXPECT_EQ(qiv_image[0].width, 1);
    EXPECT_EQ(qiv_image[0].height, 1);

    // A small image under the screen limits is raised to at least the smallest client; under
    // free limits it stays at 100 %.
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(1, "small", -1, -1, 10, 10, 100); }), 0);
    ASSERT_EQ(OnWorker([] { return QIV_CreateImageFL(2, "free", -1, -1, 10, 10, 100); }), 0);
    const ImageSizeLimits limits = GetImageSizeLimits(1);
    EXPECT_GE(qiv_image[1].zoomWidth, limits.minWidth);
    EXPECT_GE(qiv_image[1].zoomHeight, limits.minHeight);
    EXPECT_EQ(Width(ClientOf(qiv_image[1].hwnd)), qiv_image[1].zoomWidth);
    EXPECT_EQ(Caption(qiv_image[1].hwnd), L"small(" + std::to_wstring(qiv_image[1].zoom) + L"%)");
    EXPECT_EQ(qiv_image[2].zoom, 100);
    EXPECT_EQ(Width(ClientOf(qiv_image[2].hwnd)), 10);
    EXPECT_EQ(Caption(qiv_image[2].hwnd), L"free(100%)");

    // Larger than the 1280 x 1024 screen: lowered until it fits, aspect ratio kept.
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(3, "big", 0, 0, 3000, 2000, 100); }), 0);
    EXPECT_EQ(qiv_image[3].zoom, 42);
    EXPECT_EQ(Width(ClientOf(qiv_image[3].hwnd)), 1260);
    EXPECT_EQ(Height(ClientOf(qiv_image[3].hwnd)), 840);
    EXPECT_EQ(Caption(qiv_image[3].hwnd), L"big(42%)");

    // Reaching a one-pixel width makes a 2 x 20000 image taller than the screen.
    EXPECT_EQ(OnWorker([] { return QIV_CreateImage(4, "thin", -1, -1, 2, 20000, 100); }), 2);
    EXPECT_EQ(qiv_image[4].inUse, 0);
    EXPECT_EQ(FindWindowW(L"qiv_iw", L"thin(100%)"), nullptr);
}

TEST_F(ImageWindows, PicturesPastTheLimitAreRefusedAtCreationAndResize) {
    // Both fit on screen at 1 %, but no file format could hold them: 2^27 pixels at most.
    EXPECT_EQ(OnWorker([] { return QIV_CreateImageFL(5, "huge", -1, -1, 40000, 40000, 1); }), 2);
    EXPECT_EQ(OnWorker([] { return QIV_CreateImageFL(5, "huge", -1, -1, 12000, 12000, 1); }), 2);
    PumpWorker();
    EXPECT_EQ(qiv_image[5].inUse, 0);
    EXPECT_EQ(qiv_image[5].title, nullptr);
    EXPECT_EQ(FindWindowW(L"qiv_iw", L"huge(1%)"), nullptr);
    EXPECT_EQ(OnWorker([] { return QIV_CreateImage(5, "after", -1, -1, 16, 16, 100); }), 0);
    // Refused before the old window goes.
    EXPECT_EQ(OnWorker([] { return QIV_ResizeImage(5, 65501, 1); }), 2);
    EXPECT_EQ(qiv_image[5].inUse, 1);
}

TEST_F(ImageWindows, EightBitRowsArePaddedAndShownThroughTheColourTable) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage8(0, "grey", 10, 10, 5, 3, 100); }), 0);
    EXPECT_EQ(Caption(qiv_image[0].hwnd), L"grey(100%)[8bit]");
    EXPECT_EQ(ImageStride8(qiv_image[0].width), 8);
    // Pixel (4, 1) lives at byte 1 * 8 + 4; the grey table shows index 200 as 0xC8C8C8.
    OnWorker([] {
        qiv_pixels8[0][1 * 8 + 4] = 200;
        qiv_pixels8[0][2 * 8 + 0] = 17;
        return QIV_UpdateImage(0);
    });
    Capture client;
    ASSERT_TRUE(CaptureClientSurface(qiv_image[0].hwnd, &client));
    ASSERT_EQ(client.width, 5);
    EXPECT_EQ(client.At(4, 1), 0xC8C8C8u);
    EXPECT_EQ(client.At(0, 2), 0x111111u);
    EXPECT_EQ(client.At(0, 1), 0u);
    EXPECT_EQ(client.At(3, 1), 0u);
}

TEST_F(ImageWindows, PaletteBelongsToEightBitCurrentWindows) {
    RGBQUAD table[256] = {};
    EXPECT_EQ(OnWorker([&] { return QIV_GetPalette(table); }), 1); // nothing open
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "rgb", -1, -1, 4, 4, 100); }), 0);
    EXPECT_EQ(OnWorker([&] { return QIV_SetPalette(table, 1); }), 2);

    ASSERT_EQ(OnWorker([] { return QIV_CreateImage8(1, "idx", -1, -1, 4, 4, 100); }), 0);
    ASSERT_EQ(OnWorker([&] { return QIV_GetPalette(table); }), 0);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(table[i].rgbRed, i);
        ASSERT_EQ(table[i].rgbBlue, i);
    }
    const RGBQUAD red[2] = {{0, 0, 255, 0}, {0, 255, 0, 0}};
    ASSERT_EQ(OnWorker([&] { return QIV_SetPalette(red, 2); }), 0);
    OnWorker([] {
        qiv_pixels8[1][0] = 1;
        return QIV_UpdateImage(1);
    });
    Capture client;
    ASSERT_TRUE(CaptureClientSurface(qiv_image[1].hwnd, &client));
    EXPECT_EQ(client.At(0, 0), 0x00FF00u);
    EXPECT_EQ(client.At(1, 0), 0xFF0000u);
}

TEST_F(ImageWindows, ResizeGivesAClearedBufferAndKeepsTableModeAndPlace) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage8(2, "keep", 30, 40, 6, 6, 200); }), 0);
    const RGBQUAD blue = {255, 0, 0, 0};
    OnWorker([&] {
        QIV_SetPalette(&blue, 1);
        QIV_SetStretchMode(2, HALFTONE);
        std::memset(qiv_pixels8[2], 9, 8 * 6);
        return 0;
    });
    const RECT before = FrameOf(qiv_image[2].hwnd);

    ASSERT_EQ(OnWorker([] { return QIV_ResizeImage(2, 7, 5); }), 0);
    PumpWorker();
    const ImageWindowRecord& r = qiv_image[2];
    EXPECT_EQ(r.width, 7);
    EXPECT_EQ(r.height, 5);
    EXPECT_EQ(r.bits, 8);
    EXPECT_EQ(r.zoom, 200);
    for (std::size_t i = 0; i < ImageBufferBytes(8, 7, 5); ++i) {
        ASSERT_EQ(qiv_pixels8[2][i], 0) << i;
    }
    RGBQUAD table[256] = {};
    ASSERT_EQ(OnWorker([&] { return QIV_GetPalette(table); }), 0);
    EXPECT_EQ(table[0].rgbBlue, 255);
    EXPECT_EQ(table[0].rgbRed, 0);
    EXPECT_EQ(table[200].rgbGreen, 200);
    EXPECT_EQ(OnWorker([] { return QIV_GetStretchMode(2); }), HALFTONE);
    EXPECT_EQ(Caption(r.hwnd), L"keep(200%)[8bit]*");
    const RECT after = FrameOf(r.hwnd);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(Width(ClientOf(r.hwnd)), 14);

    // A window standing at x = -1 is re-created there, not at the default position.
    OnWorker([] { return SetWindowPos(qiv_image[2].hwnd, nullptr, -1, 70, 0, 0, SWP_NOSIZE); });
    ASSERT_EQ(OnWorker([] { return QIV_ResizeImage(2, 3, 3); }), 0);
    EXPECT_EQ(FrameOf(qiv_image[2].hwnd).left, -1);
    EXPECT_EQ(FrameOf(qiv_image[2].hwnd).top, 70);

    EXPECT_EQ(OnWorker([] { return QIV_ResizeImage(9, 7, 5); }), 1);
    // A re-creation that can't fit leaves the number free.
    EXPECT_EQ(OnWorker([] { return QIV_ResizeImage(2, 2, 20000); }), 2);
    EXPECT_EQ(qiv_image[2].inUse, 0);
}

TEST_F(ImageWindows, StretchModeShowsAsAStarInTheCaption) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "Left side", -1, -1, 100, 100, 30); }), 0);
    EXPECT_EQ(OnWorker([] { return QIV_GetStretchMode(0); }), COLORONCOLOR);
    EXPECT_EQ(Caption(qiv_image[0].hwnd), L"Left side(30%)");
    EXPECT_EQ(OnWorker([] { return QIV_SetStretchMode(0, HALFTONE); }), 0);
    EXPECT_EQ(Caption(qiv_image[0].hwnd), L"Left side(30%)*");
    // Unknown modes change nothing.
    EXPECT_EQ(OnWorker([] { return QIV_SetStretchMode(0, 7); }), 0);
    EXPECT_EQ(OnWorker([] { return QIV_GetStretchMode(0); }), HALFTONE);
    EXPECT_EQ(OnWorker([] { return QIV_SetStretchMode(0, COLORONCOLOR); }), 0);
    EXPECT_EQ(Caption(qiv_image[0].hwnd), L"Left side(30%)");

    EXPECT_EQ(OnWorker([] { return QIV_SetStretchMode(1, HALFTONE); }), 1);
    EXPECT_EQ(OnWorker([] { return QIV_GetStretchMode(1); }), 0);
}

TEST_F(ImageWindows, ZoomResizesTheWindowAroundAnUntouchedBuffer) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "z", 100, 100, 200, 100, 50); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;
    EXPECT_EQ(Width(ClientOf(hwnd)), 100);
    OnWorker([] {
        Pixels32(0)[0] = 0x123456;
        return 0;
    });
    const RECT before = FrameOf(hwnd);
    ASSERT_EQ(OnWorker([] { return QIV_SetZoom(0, 100); }), 0);
    PumpWorker();
    EXPECT_EQ(qiv_image[0].inUse, 1);
    EXPECT_EQ(qiv_image[0].zoom, 100);
    EXPECT_EQ(Width(ClientOf(hwnd)), 200);
    EXPECT_EQ(Height(ClientOf(hwnd)), 100);
    EXPECT_EQ(Caption(hwnd), L"z(100%)");
    const RECT after = FrameOf(hwnd);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(Width(after), Width(before) + 100);
    EXPECT_TRUE(IsSnapTarget(hwnd));
    EXPECT_EQ(Pixels32(0)[0], 0x123456u);
    // The paint that followed shows the buffer at the new size.
    Capture client;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &client));
    EXPECT_EQ(client.At(0, 0), 0x123456u);
    EXPECT_EQ(client.At(1, 0), 0u);

    // Asked beyond the screen, the zoom is held where the window still fits.
    ASSERT_EQ(OnWorker([] { return QIV_SetZoom(0, 5000); }), 0);
    EXPECT_EQ(qiv_image[0].zoom, 640);
    EXPECT_EQ(OnWorker([] { return QIV_SetZoom(1, 100); }), 1);
}

TEST_F(ImageWindows, ClosingTheWindowFreesItsNumberWhenTheWorkerPumps) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(7, "close me", -1, -1, 20, 20, 100); }), 0);
    const HWND hwnd = qiv_image[7].hwnd;
    CloseFromDesktop(hwnd);
    ProcessDesktopEvents();
    EXPECT_EQ(qiv_image[7].inUse, 1);
    PumpWorker();
    EXPECT_EQ(qiv_image[7].inUse, 0);
    EXPECT_EQ(qiv_pixels32[7], nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(OnWorker([] { return QIV_DestroyImage(7); }), 1);
    EXPECT_EQ(OnWorker([] { return QIV_CreateImage(7, "again", -1, -1, 20, 20, 100); }), 0);
}

TEST_F(ImageWindows, DraggingMovesAndSnapsButNeverResizes) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "drag", 100, 100, 160, 120, 100); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;
    const RECT start = FrameOf(hwnd);

    DragWindowTo(hwnd, RECT{start.left - 30, start.top, start.right + 40, start.bottom + 25});
    PumpWorker();
    ProcessDesktopEvents();
    EXPECT_EQ(Width(FrameOf(hwnd)), Width(start));
    EXPECT_EQ(Height(FrameOf(hwnd)), Height(start));
    EXPECT_EQ(Width(Shown(hwnd).frame), Width(start));
    EXPECT_EQ(qiv_image[0].zoomWidth, 160);

    // Without Ctrl a window goes where it is put; with Ctrl, one dragged to within 7 pixels
    // of the screen's left edge sticks to it. Each move renews the window's snap target.
    DragWindowTo(hwnd, RECT{5, 300, 5 + Width(start), 300 + Height(start)});
    PumpWorker();
    ProcessDesktopEvents();
    EXPECT_EQ(FrameOf(hwnd).left, 5);
    EXPECT_TRUE(IsSnapTarget(hwnd));
    DragWindowTo(hwnd, RECT{6, 320, 6 + Width(start), 320 + Height(start)}, CONTROL);
    PumpWorker();
    ProcessDesktopEvents();
    EXPECT_EQ(FrameOf(hwnd).left, 0);
    EXPECT_EQ(FrameOf(hwnd).top, 320);
    EXPECT_EQ(Width(FrameOf(hwnd)), Width(start));
    EXPECT_TRUE(IsSnapTarget(hwnd));
}
