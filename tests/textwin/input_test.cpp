#include "text_fixture.h"

#include <cstring>
#include <string>

namespace qivtest {
namespace {

using namespace platform::testing;

class LineInputTest : public TextWindowTest {
protected:
    void SetUp() override {
        TextWindowTest::SetUp();
        hwnd = Open(0, 400, 300);
    }
    // Reads one line on the worker while the user types keys.
    std::string ReadLine(const std::function<void()>& typing) {
        char line[QIV_INPUT_BUFFER];
        std::memset(line, 'x', sizeof line);
        line[QIV_INPUT_BUFFER - 1] = 0;
        StartInput(line);
        typing();
        WaitFinished();
        return line;
    }
    void Enter() { KeyPress(hwnd, VK_RETURN); }

    HWND hwnd = nullptr;
};

TEST_F(LineInputTest, TypedLineIsEchoedAndReturned) {
    EXPECT_EQ(ReadLine([&] {
                  TypeText(hwnd, L"Width 640");
                  Enter();
              }),
              "Width 640");
    EXPECT_EQ(Record(0).cursorY, 16);
    EXPECT_EQ(Record(0).cursorX, 0);
    EXPECT_TRUE(SameBlock(Shown(0), 0, 0, Reference(L"Width 640", 400, 16), 0, 0, 400, 16));
    EXPECT_EQ(StatusHistory(), (std::vector<std::string>{"Input text", "32-bit color"}));
    EXPECT_EQ(InputActive, 0);
}

TEST_F(LineInputTest, EmptyLineGivesAnEmptyString) {
    EXPECT_EQ(ReadLine([&] { Enter(); }), "");
}

TEST_F(LineInputTest, TabArrivesAsABlank) {
    EXPECT_EQ(ReadLine([&] {
                  TypeText(hwnd, L"a");
                  KeyPress(hwnd, VK_TAB);
                  TypeText(hwnd, L"b");
                  Enter();
              }),
              "a b");
}

TEST_F(LineInputTest, UpArrowRetypesThePreviousLineForEditing) {
    ReadLine([&] {
        TypeText(hwnd, L"abc");
        Enter();
    });
    EXPECT_EQ(ReadLine([&] {
                  KeyPress(hwnd, VK_UP);
                  WaitCursor(0, 24, 16);
                  KeyPress(hwnd, VK_BACK);
                  TypeText(hwnd, L"d");
                  Enter();
              }),
              "abd");
}

// Puts text on the clipboard as the desktop's other programs would.
void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

TEST_F(LineInputTest, CtrlVPastesTheClipboardsFirstLine) {
    SetClipboardText(L"width 640\r\nheight 480\r\n");
    EXPECT_EQ(ReadLine([&] {
                  TypeText(hwnd, L">");
                  WaitCursor(0, 8, 0);
                  KeyPress(hwnd, 'V', CONTROL);
                  WaitCursor(0, 80, 0);
                  // Pasted characters are edited as if typed.
                  KeyPress(hwnd, VK_BACK);
                  Enter();
              }),
              ">width 64");
    KeyPress(hwnd, 'Z'); // the desktop keeps Ctrl down until a key arrives without it
}

TEST_F(LineInputTest, BackspaceWalksBackAcrossAWrappedLine) {
    ReadLine([&] {
        // 400 pixels take 50 cells a line; the 50th character moves the cursor down.
        TypeText(hwnd, std::wstring(49, L'a'));
        WaitCursor(0, 392, 0);
        TypeText(hwnd, L"b");
        WaitCursor(0, 0, 16);
        KeyPress(hwnd, VK_BACK);
        WaitCursor(0, 392, 0);
        TypeText(hwnd, L"c");
        WaitCursor(0, 0, 16);
        Enter();
    });
    EXPECT_EQ(Record(0).cursorY, 32);
}

TEST_F(LineInputTest, AResizeLaysTheWrappedEchoOutAgainAtTheNewWidth) {
    const std::string line = ReadLine([&] {
        TypeText(hwnd, std::wstring(50, L'a'));
        WaitCursor(0, 0, 16);
        // 200 pixels take 25 cells: the 50 characters fill two lines.
        RECT frame = DesktopWindowOf(hwnd).frame;
        frame.right = frame.left + 200 + 4;
        DragWindowTo(hwnd, frame);
        WaitCursor(0, 0, 32);
        KeyPress(hwnd, VK_BACK);
        WaitCursor(0, 192, 16);
        Enter();
    });
    EXPECT_EQ(line, std::string(49, 'a'));
    EXPECT_TRUE(
        SameBlock(Shown(0), 0, 0, Reference(std::wstring(25, L'a'), 200, 16), 0, 0, 200, 16));
}

TEST_F(LineInputTest, BackspaceOverTwoCellCharactersRestoresTheCursor) {
    const std::string line = ReadLine([&] {
        TypeText(hwnd, L"\u65e5\u672c");
        WaitCursor(0, 32, 0);
        KeyPress(hwnd, VK_BACK);
        WaitCursor(0, 16, 0);
        // A wide character that does not fit is pushed to the next line; taking it back
        // returns to where it would have started.
        TypeText(hwnd, std::wstring(47, L'a'));
        WaitCursor(0, 392, 0);
        TypeText(hwnd, L"\u8a9e");
        WaitCursor(0, 16, 16);
        KeyPress(hwnd, VK_BACK);
        WaitCursor(0, 392, 0);
        Enter();
    });
    EXPECT_EQ(line, "\xE6\x97\xA5" + std::string(47, 'a'));
    // Nothing of the removed characters is left on the screen.
    const Capture shown = Shown(0);
    EXPECT_TRUE(SameBlock(shown, 0, 0, Reference(L"\u65e5", 16, 16), 0, 0, 16, 16));
    EXPECT_TRUE(AllOf(shown, 0, 16, 400, 16, 0x000000));
}

TEST_F(LineInputTest, LinesAreLimitedTo255CharactersAnd255Bytes) {
    // Typed in two bursts: keys beyond what the ring holds at once would be dropped.
    EXPECT_EQ(ReadLine([&] {
                  TypeText(hwnd, std::wstring(200, L'a'));
                  WaitCursor(0, 0, 64);
                  TypeText(hwnd, std::wstring(100, L'a'));
                  WaitCursor(0, 40, 80);
                  Enter();
              }),
              std::string(255, 'a'));
    // A hundred three-byte characters: the line keeps them, the buffer takes 85 whole ones.
    std::string line = ReadLine([&] {
        TypeText(hwnd, std::wstring(100, wchar_t{0x65E5}));
        Enter();
    });
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(line.substr(252), "\xE6\x97\xA5");
    wchar_t last[QIV_INPUT_CHARS + 1];
    GetLastInputLine(last);
    EXPECT_EQ(std::wstring(last), std::wstring(100, wchar_t{0x65E5}));
}

TEST_F(LineInputTest, ClosingTheWindowAbandonsTheInput) {
    EXPECT_EQ(ReadLine([&] {
                  TypeText(hwnd, L"12");
                  WaitCursor(0, 16, 0);
                  CloseFromDesktop(hwnd);
              }),
              "");
    EXPECT_FALSE(IsTextWindowOpen(0));
    EXPECT_EQ(StatusHistory().back(), "32-bit color");
}

TEST_F(LineInputTest, ExitAbandonsTheInput) {
    EXPECT_EQ(ReadLine([&] {
                  TypeText(hwnd, L"12");
                  WaitCursor(0, 16, 0);
                  ExitState = 1;
                  InputActive = 0;
              }),
              "");
    EXPECT_TRUE(IsTextWindowOpen(0));
}

TEST_F(LineInputTest, InputFromAClosedWindowLeavesTheBufferAlone) {
    OnWorker([] { QIV_CloseTextWindow(0); });
    char line[QIV_INPUT_BUFFER] = "untouched";
    OnWorker([&] { QIV_Input(line); });
    EXPECT_STREQ(line, "untouched");
    EXPECT_TRUE(StatusHistory().empty());
}

} // namespace
} // namespace qivtest
