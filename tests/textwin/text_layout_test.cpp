#include "textwin/text_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int CELL = 8;

TextRun LayOut(const std::wstring& text, int x, int width) {
    return NextTextRun(text.c_str(), static_cast<int>(text.size()), x, width, CELL);
}

TEST(NextTextRun, ContinuesFromTheCursor) {
    const TextRun run = LayOut(L"def", 24, 400);
    EXPECT_EQ(run.count, 3);
    EXPECT_EQ(run.nextX, 48);
    EXPECT_EQ(run.end, RunEnd::TEXT_END);
}

TEST(NextTextRun, LineFeedEndsTheRunAndIsConsumed) {
    const TextRun run = LayOut(L"ab\ncd", 0, 400);
    EXPECT_EQ(run.count, 2);
    EXPECT_EQ(run.consumed, 3);
    EXPECT_EQ(run.end, RunEnd::LINE_FEED);
}

TEST(NextTextRun, BreaksAtTheLastWholeCell) {
    // 404 pixels hold 50 whole cells.
    const TextRun run = LayOut(std::wstring(53, L'x'), 0, 404);
    EXPECT_EQ(run.count, 50);
    EXPECT_EQ(run.consumed, 50);
    EXPECT_EQ(run.end, RunEnd::WRAP);
}

TEST(NextTextRun, TwoCellCharacterThatDoesNotFitMovesOn) {
    std::wstring text(49, L'x');
    text += wchar_t{0x65E5};
    const TextRun run = LayOut(text, 0, 404);
    EXPECT_EQ(run.count, 49);
    EXPECT_EQ(run.end, RunEnd::WRAP);
    // On the new line it fits, and takes two cells.
    const TextRun next = LayOut(text.substr(49), 0, 404);
    EXPECT_EQ(next.count, 1);
    EXPECT_EQ(next.nextX, 16);
    // Anything from 0x80 up counts two cells, controls one.
    EXPECT_EQ(LayOut(L"\u00e9\t\r", 0, 400).nextX, 32);
}

TEST(NextTextRun, CursorAtTheEdgeBreaksBeforeTheFirstCharacter) {
    const TextRun run = LayOut(L"a", 400, 400);
    EXPECT_EQ(run.count, 0);
    EXPECT_EQ(run.consumed, 0);
    EXPECT_EQ(run.end, RunEnd::WRAP);
    // A line too narrow for any character still places one per line.
    EXPECT_EQ(LayOut(L"ab", 0, 4).count, 1);
}

} // namespace
