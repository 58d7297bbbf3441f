// Line layout of printed text: every character is one cell wide, or two cells if its code is
// 0x80 or above. Pure arithmetic, shared by printing and its tests.
#pragma once

enum class RunEnd {
    TEXT_END,  // the text ran out
    LINE_FEED, // a line feed ends the run (and is consumed)
    WRAP,      // the next character does not fit on this line
};

struct TextRun {
    int count;    // characters to draw, from the start of the text given
    int consumed; // characters used up, a line feed included
    int nextX;    // pixel column after the run
    RunEnd end;
};

// Cells a character takes.
inline int CharCells(wchar_t c) {
    return static_cast<unsigned>(c) >= 0x80 ? 2 : 1;
}

// The run that starts at text (count characters) when the cursor stands at x on a line
// width pixels wide. A character breaks the line when it would reach past width; one that
// fits on no line (x = 0) is placed anyway, so layout always advances.
TextRun NextTextRun(const wchar_t* text, int count, int x, int width, int cellWidth);
