// Window DCs draw into the window's client surface; here the surfaces are fakes.
#include "gdi_test_support.h"
#include "platform/gdi/dc_pixels.h"
#include "platform/gdi/draw_target.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using gditest::Canvas;

namespace {

struct FakeWindow {
    int width = 0;
    int height = 0;
    int stride = 0; // wider than the client area, as real surfaces may be
    std::vector<std::uint32_t> pixels;
    int locks = 0;
    int unlocks = 0;
    bool locked = false;
    std::vector<RECT> changes;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * stride + x];
    }
};

std::map<HWND, FakeWindow*>& Windows() {
    static std::map<HWND, FakeWindow*> windows;
    return windows;
}

bool FakeLock(HWND hwnd, platform::WindowSurface* surface) {
    auto it = Windows().find(hwnd);
    if (it == Windows().end()) {
        return false;
    }
    FakeWindow& w = *it->second;
    EXPECT_FALSE(w.locked) << "surface locked twice";
    w.locked = true;
    ++w.locks;
    *surface = platform::WindowSurface{w.pixels.data(), w.width, w.height, w.stride};
    return true;
}

void FakeUnlock(HWND hwnd, const RECT* changed) {
    FakeWindow& w = *Windows().at(hwnd);
    EXPECT_TRUE(w.locked);
    w.locked = false;
    ++w.unlocks;
    w.changes.push_back(changed ? *changed : RECT{-1, -1, -1, -1});
}

class WindowDc : public ::testing::Test {
protected:
    void SetUp() override {
        platform::gdi::SetWindowSurfaceFunctions(FakeLock, FakeUnlock);
        Add(first_, hwnd1_, 4, 3);
        Add(second_, hwnd2_, 2, 2);
    }
    void TearDown() override {
        Windows().clear();
        platform::gdi::SetWindowSurfaceFunctions(nullptr, nullptr);
    }
    static void Add(FakeWindow& w, HWND hwnd, int width, int height) {
        w.width = width;
        w.height = height;
        w.stride = width + 3;
        w.pixels.assign(static_cast<std::size_t>(w.stride) * height, 0x00777777);
        Windows()[hwnd] = &w;
    }

    FakeWindow first_;
    FakeWindow second_;
    HWND hwnd1_ = reinterpret_cast<HWND>(0x1000);
    HWND hwnd2_ = reinterpret_cast<HWND>(0x2000);
};

TEST_F(WindowDc, BlitsIntoTheSurfaceAndReportsTheChangedArea) {
    HDC dc = GetDC(hwnd1_);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    Canvas src(2, 2);
    src.Load({1, 2, 3, 4});
    ASSERT_TRUE(BitBlt(dc, 3, 2, 2, 2, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(first_.At(3, 2), 1u);
    EXPECT_EQ(first_.At(2, 2), 0x00777777u);
    // Nothing was written past the client width into the row's spare words.
    EXPECT_EQ(first_.pixels[2 * first_.stride + 4], 0x00777777u);
    ASSERT_EQ(first_.changes.size(), 1u);
    EXPECT_EQ(first_.changes[0].left, 3);
    EXPECT_EQ(first_.changes[0].top, 2);
    EXPECT_EQ(first_.changes[0].right, 4);
    EXPECT_EQ(first_.changes[0].bottom, 3);
    EXPECT_FALSE(first_.locked);
    EXPECT_EQ(ReleaseDC(hwnd2_, dc), 0); // another window's DC
    EXPECT_EQ(ReleaseDC(hwnd1_, dc), 1);
    EXPECT_FALSE(PatBlt(dc, 0, 0, 1, 1, BLACKNESS));
}

TEST_F(WindowDc, StretchesWithTheWindowDcsModeAndCopiesBetweenWindows) {
    HDC dc = GetDC(hwnd1_);
    SetStretchBltMode(dc, HALFTONE);
    Canvas src(2, 1);
    src.Load({0, 0x00C8C8C8});
    ASSERT_TRUE(StretchBlt(dc, 0, 0, 5, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(first_.At(1, 0), 0x00141414u);
    EXPECT_EQ(first_.At(3, 0), 0x00B4B4B4u);

    // Window to window, and within one window: each surface is locked once per call.
    HDC other = GetDC(hwnd2_);
    ASSERT_TRUE(BitBlt(other, 0, 0, 2, 2, dc, 2, 0, SRCCOPY));
    EXPECT_EQ(second_.At(1, 0), 0x00B4B4B4u);
    EXPECT_EQ(second_.At(0, 1), 0x00777777u);
    const int locksBefore = first_.locks;
    ASSERT_TRUE(BitBlt(dc, 0, 1, 4, 2, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(first_.locks, locksBefore + 1);
    EXPECT_EQ(first_.At(3, 1), 0x00B4B4B4u);
    EXPECT_EQ(first_.At(3, 2), 0x00777777u);
    ReleaseDC(hwnd2_, other);
    ReleaseDC(hwnd1_, dc);
}

TEST_F(WindowDc, WindowWithoutSurfaceFailsButKeepsItsDc) {
    HWND gone = reinterpret_cast<HWND>(0x3000);
    HDC dc = GetDC(gone);
    ASSERT_NE(dc, nullptr);
    RECT r{0, 0, 1, 1};
    EXPECT_FALSE(InvertRect(dc, &r));
    Canvas c(1, 1);
    EXPECT_FALSE(BitBlt(c.dc(), 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(ReleaseDC(gone, dc), 1);
}

TEST_F(WindowDc, PixelAccessLocksUntilReleased) {
    HDC dc = GetDC(hwnd2_);
    {
        platform::gdi::DcPixels access(dc);
        ASSERT_TRUE(access.Valid());
        EXPECT_TRUE(second_.locked);
        const platform::gdi::PixelBuffer& p = access.Pixels();
        EXPECT_EQ(p.width, 2);
        reinterpret_cast<std::uint32_t*>(p.Row(1))[1] = 0x00010203;
        access.MarkChanged(RECT{1, 1, 2, 2});
    }
    EXPECT_FALSE(second_.locked);
    EXPECT_EQ(second_.At(1, 1), 0x00010203u);
    EXPECT_EQ(second_.changes.back().left, 1);
    ReleaseDC(hwnd2_, dc);

    // A memory DC gives its bitmap; the access keeps it alive even after DeleteObject.
    Canvas c(3, 1);
    c.Load({5, 6, 7});
    platform::gdi::DcPixels mem(c.dc());
    ASSERT_TRUE(mem.Valid());
    EXPECT_EQ(reinterpret_cast<std::uint32_t*>(mem.Pixels().Row(0))[2], 7u);
    platform::gdi::BitmapPixels bitmap(c.bitmap());
    ASSERT_TRUE(bitmap.Valid());
    EXPECT_EQ(bitmap.Pixels().width, 3);
    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(platform::gdi::DcPixels(screen).Valid());
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(platform::gdi::BitmapPixels(nullptr).Valid());
}

} // namespace
