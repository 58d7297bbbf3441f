#include "textwin/text_layout.h"

TextRun NextTextRun(const wchar_t* text, int count, int x, int width, int cellWidth) {
    int n = 0;
    while (n < count) {
        const wchar_t c = text[n];
        if (c == L'\n') {
            return {n, n + 1, x, RunEnd::LINE_FEED};
        }
        const int advance = CharCells(c) * cellWidth;
        if (x > 0 && x + advance > width) {
            return {n, n, x, RunEnd::WRAP};
        }
        x += advance;
        ++n;
    }
    return {n, n, x, RunEnd::TEXT_END};
}
