// Client surfaces: what window device contexts draw into and what the desktop shows.
#include "platform/window_surface.h"
#include "tests/support/window_fixture.h"

using namespace qivtest;
using namespace platform::testing;

namespace {

constexpr std::uint32_t FACE = 0xF0F0F0; // COLOR_BTNFACE

void Fill(HWND hwnd, const RECT& r, std::uint32_t pixel) {
    platform::WindowSurface s;
    ASSERT_TRUE(platform::LockWindowSurface(hwnd, &s));
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            s.pixels[y * s.stride + x] = pixel;
        }
    }
    platform::UnlockWindowSurface(hwnd, &r);
}

class SurfaceTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        hwnd = CreateWindowExW(0, RecordingClass(), L"surface", WS_VISIBLE | WS_CAPTION, 10, 10, 24,
                               20, nullptr, nullptr, nullptr, nullptr);
        PumpAll();
        Log().Clear();
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        WindowTest::TearDown();
    }
    HWND hwnd = nullptr; // client 20 × 16
};

TEST_F(SurfaceTest, StartsWithTheClassBackgroundAndShowsWhatIsDrawn) {
    Capture surface;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &surface));
    ASSERT_EQ(surface.width, 20);
    ASSERT_EQ(surface.height, 16);
    EXPECT_EQ(surface.At(0, 0), FACE);
    EXPECT_EQ(surface.At(19, 15), FACE);

    Fill(hwnd, RECT{2, 3, 5, 4}, 0xFF0000);
    ProcessDesktopEvents();
    Capture shown;
    ASSERT_TRUE(GrabShownClient(hwnd, &shown));
    ASSERT_EQ(shown.width, 20);
    ASSERT_EQ(shown.height, 16);
    EXPECT_EQ(shown.At(2, 3), 0xFF0000u);
    EXPECT_EQ(shown.At(4, 3), 0xFF0000u);
    EXPECT_EQ(shown.At(5, 3), FACE);
    EXPECT_EQ(shown.At(2, 4), FACE);
}

TEST_F(SurfaceTest, EraseRestoresTheBackgroundOfTheUpdateRegionOnly) {
    Fill(hwnd, RECT{0, 0, 20, 16}, 0x123456);
    RECT part = {0, 0, 10, 8};
    InvalidateRect(hwnd, &part, TRUE);
    PumpAll(); // DefWindowProcW: BeginPaint erases, EndPaint
    EXPECT_EQ(Log().Count(hwnd, WM_ERASEBKGND), 1);
    Capture surface;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &surface));
    EXPECT_EQ(surface.At(0, 0), FACE);
    EXPECT_EQ(surface.At(9, 7), FACE);
    EXPECT_EQ(surface.At(10, 7), 0x123456u);
    EXPECT_EQ(surface.At(9, 8), 0x123456u);
    // Without erase the picture stays.
    Log().Clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_ERASEBKGND), 0);
    ASSERT_TRUE(CaptureClientSurface(hwnd, &surface));
    EXPECT_EQ(surface.At(15, 15), 0x123456u);
}

TEST_F(SurfaceTest, ResizingKeepsTheOverlapAndStaleWindowsHaveNoSurface) {
    Fill(hwnd, RECT{0, 0, 20, 16}, 0x00FF00);
    SetWindowPos(hwnd, nullptr, 0, 0, 14, 34, SWP_NOMOVE | SWP_NOZORDER); // client 10 × 30
    Capture surface;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &surface));
    ASSERT_EQ(surface.width, 10);
    ASSERT_EQ(surface.height, 30);
    EXPECT_EQ(surface.At(9, 15), 0x00FF00u);
    EXPECT_EQ(surface.At(9, 16), FACE);
    // The newly exposed rows are invalid: the window is asked to paint them.
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.top, 16);
    EXPECT_EQ(update.bottom, 30);

    HWND gone = CreateWindowExW(0, RecordingClass(), L"gone", WS_CAPTION, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    platform::WindowSurface s{};
    EXPECT_FALSE(platform::LockWindowSurface(gone, &s));
    EXPECT_EQ(s.pixels, nullptr);
    HWND label =
        CreateWindowExW(0, L"STATIC", L"x", WS_CHILD, 0, 0, 5, 5, hwnd, nullptr, nullptr, nullptr);
    EXPECT_FALSE(platform::LockWindowSurface(label, &s)); // controls draw themselves
}

TEST_F(SurfaceTest, ActivationIsReportedToTheWindow) {
    HWND other = CreateWindowExW(0, RecordingClass(), L"other", WS_VISIBLE | WS_CAPTION, 40, 40, 50,
                                 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other; }));
    Log().Clear();
    SetForegroundWindow(hwnd);
    auto reported = [&](HWND w, WORD state) {
        for (const auto& m : Log().All(w, WM_ACTIVATE)) {
            if (LOWORD(m.wParam) == state) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(
        PumpUntil([&] { return reported(hwnd, WA_ACTIVE) && reported(other, WA_INACTIVE); }));
    EXPECT_EQ(GetForegroundWindow(), hwnd);
    EXPECT_EQ(GetActiveWindow(), hwnd);
    DestroyWindow(other);
}

} // namespace
