// Text in the built-in bitmap font, drawn pixel by pixel at the shared text cursor.
#include "imageops/bitmap_font_glyphs.h"
#include "imageops/drawing.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_window.h"
#include "runtime/text_convert.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

int qiv_tc = 0xFFFFFF;

namespace {

constexpr int CELL_WIDTH = 8;
constexpr int LINE_PITCH = 16;
constexpr int PRINTF_BUFFER = 4096;

int Saturated(std::int64_t value) {
    return value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : static_cast<int>(value));
}

void LineBreak() {
    qiv_textX = qiv_textLeft;
    qiv_textY = Saturated(std::int64_t{qiv_textY} + LINE_PITCH);
}

} // namespace

const std::uint8_t* BitmapFontGlyph(int c) {
    if (c < 0x20 || c > 0x7F) {
        return nullptr;
    }
    const int index = c - 0x20;
    const detail::GlyphSet& set = index < 32   ? detail::SYMBOL_GLYPHS
                                  : index < 64 ? detail::CAPITAL_GLYPHS
                                               : detail::SMALL_GLYPHS;
    return set[static_cast<std::size_t>(index % 32)].rows.data();
}

void QIV_DrawChar(int c) {
    if (c == '\n') {
        LineBreak();
        return;
    }
    const std::uint8_t* glyph = BitmapFontGlyph(c);
    if (glyph == nullptr) {
        return;
    }
    // 64-bit positions: a cursor near the ends of int draws nothing rather than overflowing.
    const std::int64_t left = qiv_textX;
    const std::int64_t top = std::int64_t{qiv_textY} - detail::GLYPH_ROWS;
    for (int r = 0; r < detail::GLYPH_ROWS; ++r) {
        for (int j = 0; j < CELL_WIDTH; ++j) {
            const std::int64_t x = left + j;
            const std::int64_t y = top + r;
            if ((glyph[r] & (0x80 >> j)) != 0 && x <= INT_MAX && y >= INT_MIN) {
                QIV_PlotPixel(static_cast<int>(x), static_cast<int>(y), qiv_tc);
            }
        }
    }
    const std::int64_t next = left + CELL_WIDTH;
    const bool hasWidth = IsImageWindowInUse(qiv_target);
    if (next > INT_MAX || (hasWidth && next > std::int64_t{qiv_image[qiv_target].width} - 8)) {
        LineBreak();
    } else {
        qiv_textX = static_cast<int>(next);
    }
}

void QIV_DrawString(const char* text) {
    if (text == nullptr) {
        return;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        QIV_DrawChar(static_cast<unsigned char>(*p));
    }
}

void QIV_DrawPrintf(const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char buffer[PRINTF_BUFFER];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) {
        return;
    }
    if (length >= PRINTF_BUFFER) {
        // Cut where a character ends, not inside one.
        buffer[Utf8CharBoundary(buffer, PRINTF_BUFFER - 1)] = '\0';
    }
    QIV_DrawString(buffer);
}
