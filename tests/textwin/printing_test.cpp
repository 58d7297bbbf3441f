#include "text_fixture.h"

#include <cstdio>
#include <string>

namespace qivtest {
namespace {

using platform::testing::Capture;

constexpr std::uint32_t BLACK = 0x000000;

TEST_F(TextWindowTest, PrintingContinuesWhereThePreviousCallEnded) {
    Open(0, 400, 300);
    Print("abc");
    EXPECT_EQ(Record(0).cursorX, 24);
    Print("def\n");
    EXPECT_EQ(Record(0).cursorX, 0);
    EXPECT_EQ(Record(0).cursorY, 16);
    const Capture shown = Shown(0);
    const Capture expected = Reference(L"abcdef", 400, 16);
    EXPECT_TRUE(SameBlock(shown, 0, 0, expected, 0, 0, 400, 16));
    EXPECT_TRUE(AllOf(shown, 0, 16, 400, 284, BLACK));
}

TEST_F(TextWindowTest, LongLinesBreakAtTheLastWholeCell) {
    Open(0, 404, 300);
    ASSERT_EQ(Record(0).width, 404);
    Print(std::string(53, 'x').c_str());
    EXPECT_EQ(Record(0).cursorX, 24);
    EXPECT_EQ(Record(0).cursorY, 16);
    const Capture shown = Shown(0);
    const Capture line = Reference(std::wstring(50, L'x'), 404, 16);
    EXPECT_TRUE(SameBlock(shown, 0, 0, line, 0, 0, 404, 16));
    EXPECT_TRUE(SameBlock(shown, 0, 16, line, 0, 0, 24, 16));
    EXPECT_TRUE(AllOf(shown, 24, 16, 380, 16, BLACK));
}

TEST_F(TextWindowTest, TwoCellCharacterThatDoesNotFitGoesToTheNextLine) {
    Open(0, 404, 300);
    Print((std::string(49, 'x') + "\xE6\x97\xA5").c_str()); // 日
    EXPECT_EQ(Record(0).cursorX, 16);
    EXPECT_EQ(Record(0).cursorY, 16);
    const Capture shown = Shown(0);
    EXPECT_TRUE(AllOf(shown, 392, 0, 12, 16, BLACK));
    EXPECT_TRUE(SameBlock(shown, 0, 16, Reference(L"\u65e5", 16, 16), 0, 0, 16, 16));
    EXPECT_FALSE(AllOf(shown, 0, 16, 16, 16, BLACK));
}

TEST_F(TextWindowTest, CharactersTheFontDrawsNarrowStillTakeTwoCells) {
    Open(0, 200, 100);
    OnWorker([] {
        QIV_PushTextColor(0x0000FF, 0xFFFFFF);
        QIV_Printf("\xC3\xA9!"); // é!
    });
    EXPECT_EQ(Record(0).cursorX, 24);
    const Capture shown = Shown(0);
    const Capture blue = Reference(L"\u00e9 !", 24, 16, 0xFFFFFF, 0x0000FF);
    EXPECT_TRUE(SameBlock(shown, 0, 0, blue, 0, 0, 24, 16));
}

TEST_F(TextWindowTest, PrintingPastTheBottomScrollsOneLinePerLineFeed) {
    Open(0, 200, 64);
    OnWorker([] {
        QIV_PushTextColor(0x505050, 0xFFFFFF);
        QIV_Printf("1\n2\n3\n");
    });
    // The third line feed scrolled once: lines 2 and 3 moved up, the cursor's line is free.
    EXPECT_EQ(Record(0).cursorY, 32);
    Print("4");
    const Capture shown = Shown(0);
    const Capture digits = Reference(L"234", 24, 16, 0xFFFFFF, 0x505050);
    EXPECT_TRUE(SameBlock(shown, 0, 0, digits, 0, 0, 8, 16));
    EXPECT_TRUE(SameBlock(shown, 0, 16, digits, 8, 0, 8, 16));
    EXPECT_TRUE(SameBlock(shown, 0, 32, digits, 16, 0, 8, 16));
    // Only the printed cells carry the background: the line scrolled in was black.
    EXPECT_TRUE(AllOf(shown, 8, 32, 192, 32, BLACK));
    Print("\n\n\n");
    EXPECT_EQ(Record(0).cursorY, 32);
    EXPECT_TRUE(AllOf(Shown(0), 0, 0, 200, 64, BLACK));
}

TEST_F(TextWindowTest, ResizingClearsTheWindowAndHomesTheCursor) {
    const HWND hwnd = Open(0, 300, 200);
    Print("some text\nmore");
    OnWorker([hwnd] {
        RECT frame = {0, 0, 360, 240};
        AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE);
        SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    });
    ASSERT_TRUE(platform::testing::PumpUntil([&] { return Record(0).width == 360; }));
    const TextWindowRecord t = Record(0);
    EXPECT_EQ(t.height, 240);
    EXPECT_EQ(t.cursorX, 0);
    EXPECT_EQ(t.cursorY, 0);
    const Capture shown = Shown(0);
    ASSERT_EQ(shown.width, 360);
    EXPECT_TRUE(AllOf(shown, 0, 0, 360, 240, BLACK));
    // The colours survive the new bitmap.
    OnWorker([] { QIV_PushTextColor(0x0000FF, 0xFFFF00); });
    Print("A");
    EXPECT_TRUE(SameBlock(Shown(0), 0, 0, Reference(L"A", 8, 16, 0xFFFF00, 0x0000FF), 0, 0, 8, 16));
}

TEST_F(TextWindowTest, PushedColoursApplyUntilPopped) {
    Open(0, 200, 100);
    OnWorker([] {
        QIV_PushTextColor(0x505050, 0x50FF50);
        QIV_Printf("A");
        QIV_PopTextColor();
        QIV_Printf("B");
    });
    const Capture shown = Shown(0);
    EXPECT_TRUE(SameBlock(shown, 0, 0, Reference(L"A", 8, 16, 0x50FF50, 0x505050), 0, 0, 8, 16));
    EXPECT_TRUE(SameBlock(shown, 8, 0, Reference(L"B", 8, 16), 0, 0, 8, 16));
}

TEST_F(TextWindowTest, TheColourStackKeepsEightAndRepeatsItsLastEntry) {
    Open(0, 200, 100);
    OnWorker([] {
        for (int i = 1; i <= 9; ++i) {
            QIV_PushTextColor(0, i);
        }
    });
    std::vector<int> popped;
    OnWorker([&] {
        for (int i = 0; i < 10; ++i) {
            QIV_PopTextColor();
            popped.push_back(qiv_text[0].textColor);
        }
    });
    // The white of before the first push fell off the bottom of the stack.
    EXPECT_EQ(popped, (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 1, 1}));
}

TEST_F(TextWindowTest, OverlongOutputIsCutAtACharacterBoundary) {
    Open(0, 200, 100);
    FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    {
        std::lock_guard lock(textwin::SlotLock(0));
        qiv_text[0].logState = 1;
        qiv_text[0].logFile = log;
    }
    // 4094 bytes and a three-byte character: only the whole characters fit in 4095 bytes.
    const std::string text = std::string(4094, 'a') + "\xE6\x97\xA5" + "tail";
    Print(text.c_str());
    {
        std::lock_guard lock(textwin::SlotLock(0));
        qiv_text[0].logState = 2; // later printing stays out of the log
    }
    Print("paused");
    std::fflush(log);
    std::rewind(log);
    std::string written;
    for (int c; (c = std::fgetc(log)) != EOF;) {
        written += static_cast<char>(c);
    }
    EXPECT_EQ(written, std::string(4094, 'a'));
    {
        std::lock_guard lock(textwin::SlotLock(0));
        qiv_text[0].logFile = nullptr;
    }
    std::fclose(log);
}

} // namespace
} // namespace qivtest
