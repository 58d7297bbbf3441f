// Text drawn into the current image window's buffer: the built-in bitmap font (8 x 16 cells,
// transparent background, wrapping at the image's right edge) and TrueType text through the
// window's memory DC. Both share one text cursor; callers set all three words before writing.
#pragma once

#include <cstdint>

// The text cursor (defined with the start-up state, all 0 at start-up): the left edge of the
// next character, where a line break returns to, and the baseline.
extern int qiv_textX;
extern int qiv_textLeft;
extern int qiv_textY;
// Colour 0x00RRGGBB of bitmap text; white at start.
extern int qiv_tc;
// Colour 0x00RRGGBB of TrueType text.
extern int qiv_tttc;

// The bitmap font: 96 glyphs for 0x20..0x7F of 14 rows each, bit 7 the leftmost of 8 columns.
// Returns the glyph's rows, or null for a character outside the font.
const std::uint8_t* BitmapFontGlyph(int c);

// One character at the cursor in qiv_tc, its rows from qiv_textY - 14 to qiv_textY - 1, clipped
// per pixel; the cursor advances 8 and wraps when the next cell would pass the right edge. '\n'
// breaks the line (16 rows down); other bytes outside 0x20..0x7F are skipped.
void QIV_DrawChar(int c);
void QIV_DrawString(const char* text);
// Formats like printf into 4096 bytes; longer output is cut at a character boundary.
void QIV_DrawPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// TrueType text at the cursor on the current window's memory DC in qiv_tttc, the cell's top at
// qiv_textY - qiv_ttHeight + 1; advances by the character's ABC widths and never wraps. Codes
// 1/2 italic on/off, 3/4 bold/normal, 5/6 underline on/off, 10 line break (qiv_ttHeight down);
// other codes below 32 are ignored. Characters are Unicode code points.
void QIV_TTChar(int code);
// UTF-8 text, one character per sequence; the walk stops at an incomplete final sequence.
// Malformed bytes draw U+FFFD.
void QIV_TTString(const char* text);
// Makes the TrueType font w / 2 wide and h high, keeping face and style: 0, or 1 when the font
// cannot be made (later text then uses the DC's default font).
int QIV_TTSetSize(int w, int h);

// Start-up: the TrueType drawing font of 16 x 8 pixels in the Japanese Gothic face, normal
// weight, upright, not underlined. The program deletes it at the end.
void CreateTrueTypeFont();
