// The text window's commands in the running program: logs, the pop-up menu, shortcuts, the
// command prompt, About and the window report. The program starts in a folder with a Japanese
// name, where its logs go.
#include "command_fixture.h"

#include "textwin/line_claim.h"

#include <atomic>
#include <cstring>
#include <thread>

using namespace qivtest;
using namespace platform::testing;

namespace {

TEST_F(TextCommandsTest, LogHoldsWhatWasPrintedWhileLoggingAndCopyLeavesItRunning) {
    std::vector<int> results;
    ASSERT_TRUE(RunUserProgram([&] {
        QIV_OpenTextWindow(3, 10, 10, 300, 200);
        results.push_back(QIV_StopLog(3)); // 1: none started
        results.push_back(QIV_StartLog(3));
        results.push_back(QIV_StartLog(3)); // 1: already logging
        QIV_Printf("first %d\n", 1);
        results.push_back(QIV_StopLog(3));
        QIV_Printf("second\n");
        results.push_back(QIV_StartLog(3)); // resumes the same file
        QIV_Printf("third\n");
        results.push_back(QIV_CopyLog(3));
        QIV_Printf("fourth\n");
        results.push_back(QIV_CloseTextWindow(3)); // closes the log too
        results.push_back(QIV_StopLog(3));
        results.push_back(QIV_StartLog(-1));
        results.push_back(QIV_CopyLog(256));
    }));
    EXPECT_EQ(results, (std::vector<int>{1, 0, 1, 0, 0, 0, 0, 2, 3, 4}));
    EXPECT_EQ(ClipboardText(), "first 1\nthird\n");
    EXPECT_EQ(LogFileName(3), LogPath(3));
    EXPECT_EQ(FileText(LogPath(3)), "first 1\nthird\nfourth\n");
    EXPECT_TRUE(ShownMessageBoxes().empty());
}

TEST_F(TextCommandsTest, LogFailuresAreToldAndChangeNothing) {
    std::vector<int> results;
    ASSERT_TRUE(RunUserProgram([&] {
        QIV_OpenTextWindow(4, 10, 10, 300, 200);
        results.push_back(QIV_CopyLog(4)); // no file yet
        char saved[QIV_PATH_BYTES];
        std::memcpy(saved, qiv_logDir, sizeof saved);
        std::strcpy(qiv_logDir, "/nonexistent-folder/");
        results.push_back(QIV_StartLog(4));
        std::memcpy(qiv_logDir, saved, sizeof saved);
        results.push_back(QIV_StopLog(4)); // the state stayed 0
    }));
    EXPECT_EQ(results, (std::vector<int>{2, 2, 1}));
    const std::vector<ShownMessageBox> boxes = ShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, L"Pause");
    EXPECT_EQ(boxes[0].text, L"Can't open LOG file!");
    EXPECT_EQ(boxes[1].caption, L"Error");
    EXPECT_EQ(boxes[1].text, L"Can't create file for LOG!");
}

// A user at a text window: the menu starts the log, Ctrl+A shows About, Space runs one
// command prompt each time, Ctrl+Q closes the window and its log.
TEST_F(TextCommandsTest, MenuShortcutsAndPromptWorkOnARealWindow) {
    RequestTextWindow(2);
    RequestTextWindow(0);
    const HWND hwnd = TextWindowHandle(0);
    ASSERT_NE(hwnd, nullptr);
    QIV_SelectTextWindow(2);

    AnswerMenuWithId(TEXT_CMD_START_LOG);
    Click(hwnd, Button::Right, 30, 30);
    ASSERT_TRUE(PumpMainUntil([] { return LogState(0) == 1; }));
    AnswerMenuCancel();
    Click(hwnd, Button::Right, 30, 30);
    ASSERT_TRUE(PumpMainUntil([] { return ShownMenus().size() == 2; }));
    const std::string copy = "&Copy QIVLIB" + std::to_string(InstanceNumber) + "0.LOG\tCtrl+C";
    const struct {
        const char* text;
        UINT id;
        bool checkedFirst; // in the first menu: window 2 was current, no log
        bool checkedThen;  // in the second: logging
    } expected[] = {
        {"&Select\tCtrl+S", TEXT_CMD_SELECT, false, false},
        {"&Window Info.\tCtrl+W", TEXT_CMD_WINDOW_INFO, false, false},
        {"Command", TEXT_CMD_PROMPT, false, false},
        {nullptr, 0, false, false},
        {"Start Log", TEXT_CMD_START_LOG, false, true},
        {"Stop Log", TEXT_CMD_STOP_LOG, false, false},
        {copy.c_str(), TEXT_CMD_COPY_LOG, false, false},
        {nullptr, 0, false, false},
        {"&About QIVLIB\tCtrl+A", TEXT_CMD_ABOUT, false, false},
        {nullptr, 0, false, false},
        {"&Destroy\tCtrl+Q", TEXT_CMD_DESTROY, false, false},
    };
    for (int m = 0; m < 2; ++m) {
        const std::vector<MenuItemRecord> items = ShownMenus()[m].items;
        ASSERT_EQ(items.size(), std::size(expected));
        for (std::size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(items[i].separator, expected[i].text == nullptr);
            if (expected[i].text) {
                std::wstring text(expected[i].text,
                                  expected[i].text + std::strlen(expected[i].text));
                EXPECT_EQ(items[i].text, text);
                EXPECT_EQ(items[i].id, expected[i].id);
                EXPECT_EQ(items[i].checked,
                          m == 0 ? expected[i].checkedFirst : expected[i].checkedThen);
            }
        }
    }

    KeyPress(hwnd, 'A', CONTROL);
    ASSERT_TRUE(PumpMainUntil([] { return CurrentTextWindow == 0; }));
    for (const wchar_t* line : {L"Exit", L"help"}) {
        KeyPress(hwnd, VK_SPACE);
        ASSERT_TRUE(PumpMainUntil([] { return InputActive != 0; }));
        TypeText(hwnd, line);
        KeyPress(hwnd, VK_RETURN);
        ASSERT_TRUE(PumpMainUntil([] { return InputActive == 0 && !LineInputBusy(); }));
    }
    // The banner's cells: dark grey behind light green.
    Capture shown;
    EXPECT_TRUE(PumpMainUntil(
        [&] { return CaptureClientSurface(hwnd, &shown) && shown.At(0, 0) == 0x505050u; }));
    bool green = false;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8 * 21; ++x) {
            green = green || shown.At(x, y) == 0x50FF50u;
        }
    }
    EXPECT_TRUE(green);

    KeyPress(hwnd, 'Q', CONTROL);
    ASSERT_TRUE(PumpMainUntil([] { return TextWindowHandle(0) == nullptr; }));
    EXPECT_EQ(FileText(LogPath(0)), "QIVLIB 7.3  2009/4/30\n"
                                    "Cmd>Exit\nInvalid command\n"
                                    "Cmd>help\nCommand list:exit help start ver color\n");
}

// A rename asked for while the program reads a line is refused: the program gets its line,
// the label stays.
TEST_F(TextCommandsTest, RenameDuringTheProgramsInputLeavesBothAlone) {
    std::atomic<HWND> box{nullptr};
    std::atomic<HWND> label{nullptr};
    std::string line;
    StartUserProgram([&] {
        QIV_OpenTextWindow(0, 10, 10, 400, 200);
        QIV_OpenInputBox(600, 10, 2);
        label = qiv_inputBox.label[1];
        box = qiv_inputBox.window;
        char typed[QIV_INPUT_BUFFER];
        QIV_Input(typed);
        line = typed;
    });
    ASSERT_TRUE(PumpMainUntil([&] { return box != nullptr && InputActive != 0; }));
    DoubleClick(box, Button::Left, 20, 28 + 14);
    TypeText(TextWindowHandle(0), L"abc");
    KeyPress(TextWindowHandle(0), VK_RETURN);
    ASSERT_TRUE(WaitUserProgram());
    EXPECT_EQ(line, "abc");
    wchar_t text[32] = {};
    GetWindowTextW(label, text, 32);
    EXPECT_EQ(std::wstring(text), L"Item 1");
    EXPECT_FALSE(LineInputBusy());
}

// While a main window prompt reads a line on the main thread, neither a rename on the worker
// nor Start may take the keys; the prompt gets its answer.
TEST_F(TextCommandsTest, MainWindowPromptKeepsTheLineFromRenameAndStart) {
    RequestInputBox(2);
    RequestTextWindow(0);
    const HWND box = qiv_inputBox.window;
    const HWND text = TextWindowHandle(0);
    PostMessageW(text, WM_COMMAND, TEXT_CMD_START_LOG, 0);
    ASSERT_TRUE(PumpMainUntil([] { return LogState(0) == 1; }));
    const int programs = UserLog().mainCalls.load();
    std::thread user([box, text] {
        while (InputActive == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // Sent: each returns once its window has handled it.
        SendMessageW(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 28 + 14));
        SendMessageW(MainWindow, WM_KEYDOWN, 'S', 0);
        for (wchar_t c : std::wstring(L"3\r")) {
            PostMessageW(text, WM_CHAR, c, 0);
        }
    });
    PostMessageW(MainWindow, WM_COMMAND, CMD_INPUT_BOX, 0);
    ASSERT_TRUE(PumpMainUntil([] { return qiv_inputBox.items == 3; }, std::chrono::seconds(30)));
    user.join();
    EXPECT_EQ(StartRequested.load(), 0);
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(UserLog().mainCalls.load(), programs);
    EXPECT_FALSE(LineInputBusy());
    PostMessageW(text, WM_COMMAND, TEXT_CMD_DESTROY, 0);
    ASSERT_TRUE(PumpMainUntil([] { return TextWindowHandle(0) == nullptr; }));
    EXPECT_EQ(FileText(LogPath(0)), "Creating InpuxBox...\nHow many items? >3\n");
}

} // namespace
