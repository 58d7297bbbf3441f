// The running program: the main window's placement, keys, menus, Start and Stop, the
// requests it posts, and snapping through a real drag. One program serves the whole suite.
#include "tests/support/program_fixture.h"

#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/worker.h"

#include <cstdlib>
#include <memory>
#include <string>

using namespace qivtest;
using namespace platform::testing;

namespace {

class MainWindowTest : public ProgramTest {
protected:
    static void SetUpTestSuite() {
        ResetUserLog();
        ProgramTest::SetUpTestSuite();
    }
    void SetUp() override {
        ProgramTest::SetUp();
        InstallResponder();
        ClearShown();
        ASSERT_TRUE(PumpMainUntil([] { return Running.load() == 0; }));
        UserLog().mainCalls = 0;
        UserLog().mainReturns = 0;
        SetUserBody(nullptr);
        StopRequested = 0;
    }
    void TearDown() override {
        // Leave the program idle for the next test.
        StopRequested = 1;
        PumpMainUntil([] { return Running.load() == 0; });
        RemoveResponder();
        ProgramTest::TearDown();
    }

    static void PressKey(int vk, unsigned modifiers = NO_MODIFIER) {
        KeyPress(MainWindow, vk, modifiers);
    }
    static bool WaitRunning() {
        return PumpMainUntil([] { return Running.load() == 1; });
    }
    static bool WaitReturned(int returns) {
        return PumpMainUntil(
            [returns] { return UserLog().mainReturns.load() >= returns && Running.load() == 0; });
    }
};

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

TEST_F(MainWindowTest, RestsAtTheBottomCentreWithItsCaptionMenuAndStatus) {
    RECT r = WindowRect(MainWindow);
    RECT client{};
    GetClientRect(MainWindow, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 32); // the menu bar takes SM_CYMENU of the height asked for
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION) - height);
    DesktopWindow shown = DesktopWindowOf(MainWindow);
    EXPECT_TRUE(shown.visible);
    EXPECT_EQ(shown.title, L"QIVLIB 7.3  2009/4/30");
    EXPECT_EQ(MenuBarItems(MainWindow),
              (std::vector<std::wstring>{L"Start(&S)", L"Stop(&C)", L"Exit(&X)"}));
    wchar_t status[80];
    GetWindowTextW(StatusLine, status, 80);
    EXPECT_EQ(std::wstring(status), std::wstring(12, L' ') + L"32-bit color");
    EXPECT_EQ(ScreenBitsPerPixel, 32);
    EXPECT_EQ(InstanceNumber, 0);
    EXPECT_EQ(qiv_logDir[std::char_traits<char>::length(qiv_logDir) - 1], '/');
    EXPECT_STREQ(qiv_loadDir, qiv_saveDir);
    EXPECT_NE(qiv_ttFont, nullptr);
}

TEST_F(MainWindowTest, StatusTextIsCentredAndCutSafely) {
    QIV_SetStatus("Input text");
    wchar_t status[80];
    GetWindowTextW(StatusLine, status, 80);
    EXPECT_EQ(std::wstring(status), std::wstring(13, L' ') + L"Input text");
    std::string longText = std::string(62, 'x') + "日本";
    QIV_SetStatus(longText.c_str());
    GetWindowTextW(StatusLine, status, 80);
    EXPECT_EQ(std::wstring(status), std::wstring(62, L'x') + L"日");
    char narrow[8];
    EXPECT_EQ(QIV_GetWindowText(StatusLine, narrow, 8), 7);
    EXPECT_STREQ(narrow, "xxxxxxx");
    QIV_SetWindowText(StatusLine, "状態");
    EXPECT_EQ(QIV_GetWindowText(StatusLine, narrow, 8), 6);
    EXPECT_STREQ(narrow, "状態");
    EXPECT_EQ(QIV_GetWindowText(StatusLine, narrow, 5), 3); // the second character does not fit
    EXPECT_STREQ(narrow, "状");
}

TEST_F(MainWindowTest, StartPressedTwiceRunsTheUserProgramOnce) {
    SetUserBody([] {
        std::uint32_t t0 = QIV_GetTime();
        while (QIV_GetTime() - t0 < 100) {
            QIV_PumpMessages();
        }
    });
    PressKey('S');
    PressKey('S');
    ASSERT_TRUE(WaitReturned(1));
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(UserLog().mainCalls.load(), 1);
    EXPECT_EQ(UserLog().runningSeenAtStart.load(), 1);
    EXPECT_EQ(StartRequested.load(), 0);
    // Start while the program runs is ignored too.
    SetUserBody(PumpUntilStopped);
    PressKey('S');
    ASSERT_TRUE(WaitRunning());
    PressKey('S');
    PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(StartRequested.load(), 0);
    PressKey('C');
    ASSERT_TRUE(WaitReturned(2));
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(UserLog().mainCalls.load(), 2);
}

TEST_F(MainWindowTest, StopWhileIdleDoesNotReachTheNextRun) {
    PressKey('C');
    PumpMainUntil([] { return StopRequested.load() == 1; });
    EXPECT_EQ(StopRequested.load(), 1);
    PressKey('S');
    ASSERT_TRUE(WaitReturned(1));
    EXPECT_EQ(UserLog().stopSeenAtStart.load(), 0);
    EXPECT_EQ(StopRequested.load(), 0);
}

TEST_F(MainWindowTest, TheUserProgramSetsTheStatusAndPausesOnItsOwnThread) {
    SetUserBody([] {
        QIV_SetStatus("Click a point");
        QIV_Pause("一時停止");
    });
    PressKey('S');
    ASSERT_TRUE(WaitReturned(1));
    wchar_t status[80];
    GetWindowTextW(StatusLine, status, 80);
    EXPECT_EQ(std::wstring(status), std::wstring(12, L' ') + L"Click a point");
    auto boxes = ShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Pause");
    EXPECT_EQ(boxes[0].text, L"一時停止");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(MainWindowTest, CtrlKeysDoNotStartOrStop) {
    SetUserBody(PumpUntilStopped);
    PressKey('S', CONTROL);
    PressKey('X', CONTROL);
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(StartRequested.load(), 0);
    EXPECT_EQ(UserLog().mainCalls.load(), 0);
    EXPECT_EQ(ExitState.load(), 0);
    PressKey('S');
    ASSERT_TRUE(WaitRunning());
    PressKey('C', CONTROL);
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(StopRequested.load(), 0);
    EXPECT_EQ(Running.load(), 1);
    PressKey('C');
    ASSERT_TRUE(WaitReturned(1));
}

TEST_F(MainWindowTest, MenuBarStartsAndStops) {
    SetUserBody(PumpUntilStopped);
    ASSERT_TRUE(ClickMenuBarItem(MainWindow, L"Start(&S)"));
    ASSERT_TRUE(WaitRunning());
    ASSERT_TRUE(ClickMenuBarItem(MainWindow, L"Stop(&C)"));
    ASSERT_TRUE(WaitReturned(1));
    EXPECT_EQ(StopRequested.load(), 0); // cleared when the program returned
}

std::vector<bool> GrayedStates(const ShownMenu& menu) {
    std::vector<bool> grayed;
    for (const MenuItemRecord& item : menu.items) {
        grayed.push_back(item.grayed);
    }
    return grayed;
}

TEST_F(MainWindowTest, PopupMenuOffersOnlyStopAndExitWhileTheProgramRuns) {
    Click(MainWindow, Button::Right, 100, 15);
    ASSERT_TRUE(PumpMainUntil([] { return ShownMenus().size() == 1; }));
    ShownMenu idle = ShownMenus()[0];
    ASSERT_EQ(idle.items.size(), 13u);
    const wchar_t* texts[] = {L"Open image…\tCtrl+O",
                              L"Paste\tCtrl+V",
                              L"",
                              L"Start",
                              L"Stop",
                              L"E&xit",
                              L"",
                              L"Image Window",
                              L"Text Window",
                              L"Input Box",
                              L"Button Box",
                              L"",
                              L"&Window Info.\tCtrl+W"};
    const UINT ids[] = {1052, 1026, 0, 1001, 1003, 1002, 0, 1027, 1028, 1044, 1051, 0, 1045};
    for (std::size_t i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(idle.items[i].separator, ids[i] == 0);
        if (ids[i] != 0) {
            EXPECT_EQ(idle.items[i].text, texts[i]);
            EXPECT_EQ(idle.items[i].id, ids[i]);
        }
    }
    EXPECT_EQ(GrayedStates(idle), std::vector<bool>(13, false));
    EXPECT_EQ(idle.owner, MainWindow);

    SetUserBody(PumpUntilStopped);
    PressKey('S');
    ASSERT_TRUE(WaitRunning());
    ClearShown();
    Click(MainWindow, Button::Right, 100, 15);
    ASSERT_TRUE(PumpMainUntil([] { return ShownMenus().size() == 1; }));
    std::vector<bool> running(13, true);
    running[4] = running[5] = false;               // Stop, E&xit
    running[2] = running[6] = running[11] = false; // separators
    EXPECT_EQ(GrayedStates(ShownMenus()[0]), running);

    // The menu's Stop reaches the program.
    AnswerMenuWithText(L"Stop");
    Click(MainWindow, Button::Right, 100, 15);
    ASSERT_TRUE(WaitReturned(1));
}

TEST_F(MainWindowTest, PopupMenuIsGreyWhileATextWindowReadsALine) {
    InputActive = 1;
    Click(MainWindow, Button::Right, 100, 15);
    ASSERT_TRUE(PumpMainUntil([] { return ShownMenus().size() == 1; }));
    InputActive = 0;
    EXPECT_TRUE(ShownMenus()[0].items[0].grayed);
    EXPECT_TRUE(ShownMenus()[0].items[3].grayed);
    EXPECT_FALSE(ShownMenus()[0].items[4].grayed);
}

TEST_F(MainWindowTest, TheFrameCannotBeDraggedToAnotherSize) {
    RECT before = WindowRect(MainWindow);
    DragWindowTo(MainWindow, RECT{before.left - 30, before.top - 40, before.right, before.bottom});
    PumpFor(std::chrono::milliseconds(30));
    ProcessDesktopEvents();
    RECT after = WindowRect(MainWindow);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(DesktopWindowOf(MainWindow).frame.right - DesktopWindowOf(MainWindow).frame.left,
              before.right - before.left);
}

TEST_F(MainWindowTest, DraggingWithCtrlSnapsToTheWorkAreaEdgeAndWithoutDoesNot) {
    RECT home = WindowRect(MainWindow);
    int w = home.right - home.left;
    int h = home.bottom - home.top;
    DragWindowTo(MainWindow, RECT{5, 300, 5 + w, 300 + h}, CONTROL);
    PumpFor(std::chrono::milliseconds(30));
    EXPECT_EQ(WindowRect(MainWindow).left, 0);
    EXPECT_EQ(WindowRect(MainWindow).top, 300);
    // The move rebuilt the list: the main window is its last target, where it now is.
    EXPECT_EQ(qiv_snapTargets.count, 5);
    EXPECT_EQ(qiv_snapTargets.left[4], 0);
    EXPECT_EQ(qiv_snapTargets.top[4], 300);
    DragWindowTo(MainWindow, RECT{1280 - w - 4, 300, 1280 - 4, 300 + h});
    PumpFor(std::chrono::milliseconds(30));
    EXPECT_EQ(WindowRect(MainWindow).left, 1280 - w - 4);
    SetWindowPos(MainWindow, nullptr, home.left, home.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpFor(std::chrono::milliseconds(10));
}

TEST_F(MainWindowTest, TheMainWindowMovesAndIgnoresRightClicksWhileAClickToolOwnsThePointer) {
    // The user program runs a click tool and keeps opening and moving an image window while
    // the main window is dragged and right-clicked: neither thread reads the other's state.
    SetUserBody([] {
        ToolActive = 1;
        for (int i = 0; !StopRequested; ++i) {
            QIV_CreateImage(5, "moving", 20 * (i % 7), 40, 32, 32, 100);
            QIV_PumpMessages();
            QIV_DestroyImage(5);
            QIV_PumpMessages();
        }
        ToolActive = 0;
    });
    const RECT home = WindowRect(MainWindow);
    PressKey('S');
    ASSERT_TRUE(PumpMainUntil([] { return ToolActive.load() == 1; }));
    for (int k = 1; k <= 4; ++k) {
        DragWindowTo(MainWindow, RECT{home.left - 9 * k, home.top, home.right - 9 * k, home.bottom},
                     CONTROL);
        Click(MainWindow, Button::Right, 100, 15);
        PumpFor(std::chrono::milliseconds(20));
    }
    PressKey('C');
    ASSERT_TRUE(WaitReturned(1));
    EXPECT_TRUE(ShownMenus().empty());
    SetWindowPos(MainWindow, nullptr, home.left, home.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpFor(std::chrono::milliseconds(10));
}

TEST_F(MainWindowTest, ARequestWaitsForTheUserProgramWhileTheMainWindowStaysServed) {
    SetUserBody(PumpUntilStopped);
    PressKey('S');
    ASSERT_TRUE(WaitRunning());
    // Both reach the main window only through the requester's own pumping.
    InvalidateRect(MainWindow, nullptr, TRUE);
    PostMessageW(MainWindow, WM_KEYDOWN, 'C', 0);
    int result = RequestCreateImage(300, "300", 10, 10, 32);
    EXPECT_EQ(result, 4); // number out of range, answered by the worker
    EXPECT_EQ(UserLog().mainReturns.load(), 1);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(MainWindow, &update, FALSE));
    EXPECT_EQ(RequestCode.load(), 0);
    EXPECT_EQ(RequestDone.load(), 1);
}

// A window of the main thread that posts a request of its own when told to.
int nestedResult = 0;
LRESULT CALLBACK NestingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        nestedResult = RequestCreateImage(5, "005", 10, 10, 24);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(MainWindowTest, NestedRequestsKeepTheirOwnResults) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = NestingProc;
    wc.lpszClassName = L"qiv_test_nesting";
    RegisterClassW(&wc);
    HWND nesting = CreateWindowExW(0, L"qiv_test_nesting", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    SetUserBody(PumpUntilStopped);
    PressKey('S');
    ASSERT_TRUE(WaitRunning());
    // While the outer request waits for the user program, the nested one is posted; then Stop
    // lets the worker serve both in turn.
    nestedResult = 0;
    PostMessageW(nesting, WM_USER, 0, 0);
    PostMessageW(MainWindow, WM_KEYDOWN, 'C', 0);
    int outer = RequestCreateImage(256, "256", 10, 10, 32);
    EXPECT_EQ(outer, 4);
    EXPECT_EQ(nestedResult, 3); // no image window can be made yet
    DestroyWindow(nesting);
    UnregisterClassW(L"qiv_test_nesting", nullptr);
}

TEST_F(MainWindowTest, RequestsForOutOfRangeTextWindowsAreIgnored) {
    RequestTextWindow(400);
    EXPECT_EQ(RequestCode.load(), 0);
    EXPECT_EQ(RequestDone.load(), 1);
}

TEST_F(MainWindowTest, DroppedPicturesOpenInNumberOrderAndOtherFilesAreSkipped) {
    const char* data = std::getenv("QIV_TEST_DATA");
    ASSERT_NE(data, nullptr);
    const std::string folder(data);
    const std::wstring picture(folder.begin(), folder.end());
    DropFiles(MainWindow,
              {picture + L"/text_named.jpg", picture + L"/../../app/sample/garden_pair.jpg",
               picture + L"/../../app/sample/garden_pair.jpg"},
              20, 20);
    ASSERT_TRUE(PumpMainUntil([] { return IsImageWindowInUse(0) && IsImageWindowInUse(1); }));
    EXPECT_FALSE(IsImageWindowInUse(2));
    for (int n : {0, 1}) {
        wchar_t caption[64] = {};
        GetWindowTextW(qiv_image[n].hwnd, caption, 64);
        const std::wstring expected =
            (n == 0 ? L"000" : L"001") + std::wstring(L" garden_pair.jpg");
        EXPECT_EQ(std::wstring(caption).substr(0, expected.size()), expected);
        EXPECT_EQ(qiv_image[n].width, 1600);
        EXPECT_EQ(qiv_image[n].height, 600);
    }
    // The worker owns the table: wait for the windows to go, which it does after clearing
    // their entries.
    const HWND windows[] = {qiv_image[0].hwnd, qiv_image[1].hwnd};
    for (HWND hwnd : windows) {
        CloseFromDesktop(hwnd);
    }
    EXPECT_TRUE(PumpMainUntil([&] { return !IsWindow(windows[0]) && !IsWindow(windows[1]); }));
    EXPECT_FALSE(IsImageWindowInUse(0));
    EXPECT_FALSE(IsImageWindowInUse(1));
}

TEST_F(MainWindowTest, PasteOpensTheClipboardPictureThroughTheWorker) {
    // A 3 × 2 24-bit DIB.
    const std::size_t rowBytes = 12;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + 2 * rowBytes);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = 3;
    header->biHeight = 2;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(MainWindow));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_DIB, block), nullptr);
    CloseClipboard();

    PostMessageW(MainWindow, WM_COMMAND, CMD_PASTE, 0);
    ASSERT_TRUE(PumpMainUntil([] { return IsImageWindowInUse(0); }));
    EXPECT_EQ(qiv_image[0].width, 3);
    EXPECT_EQ(qiv_image[0].height, 2);
    const HWND window = qiv_image[0].hwnd;
    CloseFromDesktop(window);
    EXPECT_TRUE(PumpMainUntil([&] { return !IsWindow(window); }));
}

TEST_F(MainWindowTest, CtrlOOpensTheChosenPictureAndIsIgnoredWhileTheProgramRuns) {
    const char* data = std::getenv("QIV_TEST_DATA");
    ASSERT_NE(data, nullptr);
    const std::string folder(data);
    const std::wstring sample =
        std::wstring(folder.begin(), folder.end()) + L"/../../app/sample/garden_pair.jpg";
    AnswerFileDialog(sample);
    PressKey('O', CONTROL);
    ASSERT_TRUE(PumpMainUntil([] { return IsImageWindowInUse(0); }));
    EXPECT_EQ(qiv_image[0].width, 1600);

    SetUserBody(PumpUntilStopped);
    PressKey('S');
    ASSERT_TRUE(WaitRunning());
    ClearShown();
    PressKey('O', CONTROL);
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(ShownFileDialogs().empty()) << "no second photo while the program runs";
    PressKey('C');
    ASSERT_TRUE(WaitReturned(1));
}

} // namespace
