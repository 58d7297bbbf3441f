// The pointer state recorded by real image windows from synthetic input: written only while
// the worker pumps, in image pixels at the window's zoom.
#include "image_window_fixture.h"

#include "imagewin/pointer_events.h"

using namespace qivtest;
using namespace platform::testing;

namespace {

using PointerWindows = ImageWindowTest;

} // namespace

TEST_F(PointerWindows, MovesAreRecordedAtTheZoomOnlyWhenTheWorkerPumps) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "half", 0, 0, 400, 200, 50); }), 0);
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(1, "third", 300, 0, 400, 400, 30); }), 0);
    PumpWorker();
    OnWorker([] {
        PointerRecording = 1;
        return 0;
    });

    MouseMove(qiv_image[0].hwnd, 101, 40);
    ProcessDesktopEvents();
    EXPECT_EQ(PointerWindow, -1);
    EXPECT_EQ(PointerX, 0);
    PumpWorker();
    EXPECT_EQ(PointerWindow, 0);
    EXPECT_EQ(PointerX, 202);
    EXPECT_EQ(PointerY, 80);

    MouseMove(qiv_image[1].hwnd, 100, 100, SHIFT);
    PumpWorker();
    EXPECT_EQ(PointerWindow, 1);
    EXPECT_EQ(PointerX, 333);
    EXPECT_EQ(PointerY, 333);
    EXPECT_EQ(PointerShift, MK_SHIFT);
}

TEST_F(PointerWindows, ButtonsAreRecordedButARightClickIsNot) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "press", 0, 0, 200, 200, 100); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;
    OnWorker([] {
        PointerRecording = 1;
        return 0;
    });

    MouseDown(hwnd, Button::Left, 20, 30);
    MouseUp(hwnd, Button::Left, 20, 30);
    PumpWorker();
    EXPECT_EQ(PointerX, 20);
    EXPECT_EQ(PointerY, 30);
    EXPECT_EQ(PointerLeft, 1); // the release is not recorded

    Click(hwnd, Button::Right, 70, 80, CONTROL);
    PumpWorker();
    EXPECT_EQ(PointerX, 20);
    EXPECT_EQ(PointerY, 30);
    EXPECT_EQ(PointerCtrl, 0);
    EXPECT_EQ(ShownMenus().size(), 1u); // the tools menu, which records nothing either

    MouseDown(hwnd, Button::Middle, 5, 6);
    PumpWorker();
    EXPECT_EQ(PointerX, 5);
    EXPECT_EQ(PointerMiddle, MK_MBUTTON);
    MouseUp(hwnd, Button::Middle, 5, 6);

    MouseMove(hwnd, 7, 8);
    PumpWorker();
    EXPECT_EQ(PointerLeft, 0);
    EXPECT_EQ(PointerMiddle, 0);
}

TEST_F(PointerWindows, NothingIsRecordedWithRecordingOffButToolsStillHearTheirWindow) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "tool", 0, 0, 200, 200, 50); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;
    OnWorker([] {
        ToolActive = 1;
        ToolWindow = 0;
        ClickPending = MovePending = CancelPending = 0;
        return 0;
    });
    Click(hwnd, Button::Left, 30, 10, SHIFT);
    PumpWorker();
    EXPECT_EQ(PointerWindow, -1);
    EXPECT_EQ(ClickPending, 1);
    EXPECT_EQ(ClickX, 60);
    EXPECT_EQ(ClickY, 20);
    EXPECT_EQ(PointerShift, 1);
    Click(hwnd, Button::Right, 30, 10);
    PumpWorker();
    EXPECT_EQ(CancelPending, 1);
    OnWorker([] {
        ToolActive = 0;
        ToolWindow = -1;
        return 0;
    });
}

TEST_F(PointerWindows, ADragLeavingTheWindowIsHeldInsideTheImageAndPlainMovesOutsideAreNot) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "drag", 0, 0, 400, 200, 50); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;
    OnWorker([] {
        PointerRecording = 1;
        return 0;
    });

    MouseDown(hwnd, Button::Left, 20, 20);
    PumpWorker();
    EXPECT_EQ(OnWorker([] { return GetCapture() == qiv_image[0].hwnd ? 1 : 0; }), 1);
    MouseMove(hwnd, -30, 10);
    PumpWorker();
    EXPECT_EQ(PointerX, 0); // not the wrapped word of -30
    EXPECT_EQ(PointerY, 20);
    MouseMove(hwnd, 250, 150);
    PumpWorker();
    EXPECT_EQ(PointerX, 399);
    EXPECT_EQ(PointerY, 199);
    MouseUp(hwnd, Button::Left, 250, 150);
    PumpWorker();
    EXPECT_EQ(OnWorker([] { return GetCapture() == nullptr ? 1 : 0; }), 1);

    MouseMove(hwnd, 10, 10);
    PumpWorker();
    MouseMove(hwnd, -30, 300);
    PumpWorker();
    EXPECT_EQ(PointerX, 20);
    EXPECT_EQ(PointerY, 20);
}
