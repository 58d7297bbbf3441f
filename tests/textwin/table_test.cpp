#include "text_fixture.h"

#include "textwin/text_commands.h"

namespace qivtest {
namespace {

using namespace platform::testing;

TEST_F(TextWindowTest, DefaultsGiveA400By300WindowTitledWithItsNumber) {
    int result = -1;
    OnWorker([&] { result = QIV_OpenTextWindow(7, -1, -1, -1, -1); });
    EXPECT_EQ(result, 0);
    const TextWindowRecord t = Record(7);
    EXPECT_EQ(t.width, 400);
    EXPECT_EQ(t.height, 300);
    EXPECT_EQ(t.cellWidth, 8);
    EXPECT_EQ(t.cellHeight, 16);
    EXPECT_EQ(CurrentTextWindow, 7);
    ASSERT_TRUE(PumpUntil([&] { return DesktopWindowOf(t.hwnd).visible; }));
    const DesktopWindow shown = DesktopWindowOf(t.hwnd);
    EXPECT_EQ(shown.title, L"TextWindow 7");
    EXPECT_EQ(shown.client.right - shown.client.left, 400);
    EXPECT_TRUE(shown.transientForOwner);
    EXPECT_EQ(TextWindowFromHandle(t.hwnd), 7);
    EXPECT_EQ(TextWindowFromHandle(MainWindow), -1);
    bool snapTarget = false; // read on the thread that rebuilds the list
    OnWorker([&] { snapTarget = IsSnapTarget(t.hwnd); });
    EXPECT_TRUE(snapTarget);
}

TEST_F(TextWindowTest, OpeningAnOpenWindowOnlyBringsItForward) {
    const HWND five = Open(5, 300, 200);
    Print("abc");
    Open(6, 300, 200);
    const RECT before = DesktopWindowOf(five).frame;
    int result = -1;
    OnWorker([&] { result = QIV_OpenTextWindow(5, 100, 100, -1, -1); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(CurrentTextWindow, 5);
    const TextWindowRecord t = Record(5);
    EXPECT_EQ(t.hwnd, five);
    EXPECT_EQ(t.width, 300);
    EXPECT_EQ(t.cursorX, 24);
    const RECT after = DesktopWindowOf(five).frame;
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);
}

TEST_F(TextWindowTest, ClosingTheCurrentWindowSelectsTheLowestOpenOne) {
    Open(3, 200, 100);
    Open(5, 200, 100);
    Open(7, 200, 100);
    EXPECT_EQ(QIV_SelectTextWindow(5), 0);
    OnWorker([] { EXPECT_EQ(QIV_CloseTextWindow(5), 0); });
    EXPECT_EQ(CurrentTextWindow, 3);
    // Closing another window leaves the current one alone.
    OnWorker([] { QIV_CloseTextWindow(7); });
    EXPECT_EQ(CurrentTextWindow, 3);
    OnWorker([] { QIV_CloseTextWindow(3); });
    EXPECT_EQ(CurrentTextWindow, 3); // none open: the number stays
    EXPECT_EQ(QIV_CloseTextWindow(3), 1);
    EXPECT_EQ(QIV_CloseTextWindow(256), 1);
    EXPECT_EQ(QIV_SelectTextWindow(-1), 1);
    EXPECT_EQ(QIV_SelectTextWindow(3), 1);
}

TEST_F(TextWindowTest, NothingHappensWithoutAnOpenCurrentWindow) {
    OnWorker([] {
        QIV_Printf("lost");
        QIV_PushTextColor(1, 2);
        QIV_PopTextColor();
    });
    EXPECT_FALSE(IsTextWindowOpen(0));
    int result = 0;
    OnWorker([&] { result = QIV_OpenTextWindow(256, 0, 0, 10, 10); });
    EXPECT_EQ(result, 2);
}

TEST_F(TextWindowTest, ShowOpensWindowZeroCentred) {
    OnWorker([] { QIV_ShowTextWindow(); });
    ASSERT_TRUE(IsTextWindowOpen(0));
    PumpFor(std::chrono::milliseconds(50));
    const RECT client = DesktopWindowOf(Record(0).hwnd).client;
    EXPECT_EQ(client.left, 1280 / 2 - 200 + 2);
    EXPECT_EQ(client.top, 1024 / 2 - 150 + 2);
}

TEST_F(TextWindowTest, KeysGoToTheMainWindowOrBecomeCommands) {
    const HWND hwnd = Open(2, 200, 100);
    Open(4, 200, 100);
    KeyPress(hwnd, 'X');
    KeyPress(hwnd, VK_ESCAPE);
    KeyPress(hwnd, 'Z');
    ASSERT_TRUE(PumpUntil([] { return MainWindowKeys().size() == 2; }));
    EXPECT_EQ(MainWindowKeys(), (std::vector<WPARAM>{'X', VK_ESCAPE}));
    // Ctrl+S selects the window, Ctrl+Q destroys it.
    KeyPress(hwnd, 'S', CONTROL);
    ASSERT_TRUE(PumpUntil([] { return CurrentTextWindow == 2; }));
    KeyPress(hwnd, 'Q', CONTROL);
    ASSERT_TRUE(PumpUntil([] { return !IsTextWindowOpen(2); }));
    EXPECT_EQ(CurrentTextWindow, 4);
    // The desktop keeps Ctrl down until a key arrives without it.
    KeyPress(Record(4).hwnd, 'Z');
    // Closing by the desktop's close button frees the slot too.
    CloseFromDesktop(Record(4).hwnd);
    ASSERT_TRUE(PumpUntil([] { return !IsTextWindowOpen(4); }));
}

} // namespace
} // namespace qivtest

namespace qivtest {
namespace {

TEST_F(TextWindowTest, RuntimeSeesTheTable) {
    const HWND one = Open(1, 200, 100);
    Open(3, 200, 100);
    OnWorker([] { QIV_CloseTextWindow(3); });
    EXPECT_EQ(TextWindowHandle(1), one);
    EXPECT_EQ(TextWindowHandle(3), nullptr);
    EXPECT_EQ(TextWindowHandle(256), nullptr);
    EXPECT_EQ(CurrentTextWindow.load(), 1);

    // Exit closes the logs of the open windows.
    {
        std::lock_guard lock(textwin::SlotLock(1));
        qiv_text[1].logState = 2;
        qiv_text[1].logFile = std::tmpfile();
    }
    QIV_CloseLogs();
    EXPECT_EQ(Record(1).logState, 0);
    EXPECT_EQ(Record(1).logFile, nullptr);

    // A prompt without a window to read from gives an empty line at once.
    OnWorker([] { QIV_CloseTextWindow(1); });
    char line[256] = {};
    QIV_Input(line);
    EXPECT_STREQ(line, "");
}

} // namespace
} // namespace qivtest
