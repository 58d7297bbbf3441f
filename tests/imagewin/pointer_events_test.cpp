// Pointer state and click-tool events, fed with the mouse messages an image window receives.
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "platform/win32_user.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

HWND FakeWindow(std::uintptr_t id) {
    return reinterpret_cast<HWND>(id * 16);
}

class PointerEvents : public ::testing::Test {
protected:
    void SetUp() override {
        ResetImageWindowTable();
        PointerRecording = 0;
        PointerWindow = -1;
        PointerX = PointerY = PointerLeft = PointerMiddle = PointerShift = PointerCtrl = 0;
        ToolActive = 0;
        ToolWindow = -1;
        ClickPending = ClickX = ClickY = CancelPending = MovePending = MoveX = MoveY = 0;
    }
    void TearDown() override { ResetImageWindowTable(); }

    static HWND Open(int n, int zoom) {
        qiv_image[n].inUse = 1;
        qiv_image[n].zoom = zoom;
        qiv_image[n].width = 1000;
        qiv_image[n].height = 600;
        qiv_image[n].hwnd = FakeWindow(static_cast<std::uintptr_t>(n) + 1);
        return qiv_image[n].hwnd;
    }

    // A mouse message as the window procedure receives it.
    static bool Send(HWND hwnd, UINT message, WPARAM keys, int x, int y) {
        return RunPointerSteps(hwnd, message, keys,
                               MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
};

} // namespace

TEST_F(PointerEvents, RecordsImagePositionsAtTheWindowsZoom) {
    const HWND half = Open(0, 50);
    const HWND third = Open(3, 30);
    PointerRecording = 1;

    Send(half, WM_MOUSEMOVE, 0, 101, 40);
    EXPECT_EQ(PointerWindow, 0);
    EXPECT_EQ(PointerX, 202);
    EXPECT_EQ(PointerY, 80);

    Send(third, WM_MOUSEMOVE, MK_SHIFT | MK_CONTROL | MK_MBUTTON, 100, 100);
    EXPECT_EQ(PointerWindow, 3);
    EXPECT_EQ(PointerX, 333);
    EXPECT_EQ(PointerY, 333);
    EXPECT_EQ(PointerShift, 4);
    EXPECT_EQ(PointerCtrl, 8);
    EXPECT_EQ(PointerMiddle, 16);
    EXPECT_EQ(PointerLeft, 0);

    // A drag held by the capture reports positions beyond the window's edges in signed words;
    // what is recorded stays inside the image.
    Send(half, WM_MOUSEMOVE, MK_LBUTTON, -20, 400);
    EXPECT_EQ(PointerX, 0);
    EXPECT_EQ(PointerY, 599);
    Send(half, WM_MOUSEMOVE, MK_LBUTTON, 700, -3);
    EXPECT_EQ(PointerX, 999);
    EXPECT_EQ(PointerY, 0);
}

TEST_F(PointerEvents, NothingRecordedWhenOffUnknownOrRightButton) {
    const HWND window = Open(2, 100);
    Send(window, WM_MOUSEMOVE, MK_LBUTTON, 5, 6);
    EXPECT_EQ(PointerWindow, -1);
    EXPECT_EQ(PointerX, 0);
    EXPECT_EQ(PointerY, 0);

    PointerRecording = 1;
    Send(window, WM_MOUSEMOVE, 0, 5, 6);
    Send(window, WM_RBUTTONDOWN, MK_RBUTTON, 50, 60);
    Send(window, WM_LBUTTONUP, 0, 50, 60);
    Send(window, WM_MOUSEWHEEL, 0, 50, 60);
    Send(FakeWindow(900), WM_MOUSEMOVE, 0, 70, 70); // not an image window
    qiv_image[2].inUse = 0;                         // e.g. during a zoom change
    Send(window, WM_MOUSEMOVE, 0, 80, 80);
    EXPECT_EQ(PointerWindow, 2);
    EXPECT_EQ(PointerX, 5);
    EXPECT_EQ(PointerY, 6);

    // A record without a usable zoom is skipped instead of dividing by zero.
    qiv_image[2].inUse = 1;
    qiv_image[2].zoom = 0;
    Send(window, WM_MOUSEMOVE, 0, 90, 90);
    EXPECT_EQ(PointerX, 5);
}

TEST_F(PointerEvents, LeftButtonStaysDownUntilTheNextMove) {
    const HWND window = Open(0, 100);
    PointerRecording = 1;
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    EXPECT_EQ(PointerLeft, 1);
    Send(window, WM_LBUTTONUP, 0, 10, 10);
    EXPECT_EQ(PointerLeft, 1);
    Send(window, WM_MOUSEMOVE, 0, 11, 10);
    EXPECT_EQ(PointerLeft, 0);
    Send(window, WM_MBUTTONDOWN, MK_MBUTTON, 12, 10);
    EXPECT_EQ(PointerMiddle, 16);
    EXPECT_EQ(PointerX, 12);
}

TEST_F(PointerEvents, ClickToolHearsOnlyItsOwnWindow) {
    const HWND one = Open(1, 100);
    const HWND two = Open(2, 200);
    PointerRecording = 1;
    ToolActive = 1;
    ToolWindow = 2;

    // Window 1: recorded in the pointer state, but no tool word changes; the tool still
    // swallows the press, so no menu would open.
    EXPECT_TRUE(Send(one, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 30, 40));
    EXPECT_TRUE(Send(one, WM_RBUTTONDOWN, MK_RBUTTON, 30, 40));
    EXPECT_TRUE(Send(one, WM_MOUSEMOVE, 0, 31, 41));
    EXPECT_EQ(ClickPending, 0);
    EXPECT_EQ(CancelPending, 0);
    EXPECT_EQ(MovePending, 0);
    EXPECT_EQ(PointerWindow, 1);
    EXPECT_EQ(PointerX, 31);

    // Window 2 at zoom 200: client (101, 51) is image (50, 25).
    EXPECT_TRUE(Send(two, WM_MOUSEMOVE, 0, 101, 51));
    EXPECT_EQ(MovePending, 1);
    EXPECT_EQ(MoveX, 50);
    EXPECT_EQ(MoveY, 25);
    EXPECT_TRUE(Send(two, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 101, 51));
    EXPECT_EQ(ClickPending, 1);
    EXPECT_EQ(ClickX, 50);
    EXPECT_EQ(ClickY, 25);
    EXPECT_EQ(PointerShift, 1); // not 4: the tool's click stores a plain flag
    EXPECT_EQ(PointerWindow, 2);
    EXPECT_TRUE(Send(two, WM_LBUTTONDOWN, MK_LBUTTON, 101, 51));
    EXPECT_EQ(PointerShift, 0);
    EXPECT_TRUE(Send(two, WM_MBUTTONDOWN, MK_MBUTTON, 0, 0));
    EXPECT_EQ(CancelPending, 1);
    CancelPending = 0;
    EXPECT_TRUE(Send(two, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0));
    EXPECT_EQ(CancelPending, 1);
}

TEST_F(PointerEvents, WithoutAToolPressesGoOnToTheMenus) {
    const HWND window = Open(0, 100);
    ToolWindow = 0; // left over: only ToolActive counts
    EXPECT_FALSE(Send(window, WM_RBUTTONDOWN, MK_RBUTTON, 1, 1));
    EXPECT_FALSE(Send(window, WM_MBUTTONDOWN, MK_MBUTTON, 1, 1));
    EXPECT_FALSE(Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1));
    EXPECT_EQ(CancelPending, 0);
    EXPECT_EQ(ClickPending, 0);
    // A tool whose window has gone hears nothing, even from a window reusing the handle.
    ToolActive = 1;
    ToolWindow = 3;
    EXPECT_TRUE(Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1));
    ToolWindow = -1;
    EXPECT_TRUE(Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1));
    EXPECT_EQ(ClickPending, 0);
}
