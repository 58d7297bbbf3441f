// The bitmap font, bitmap text and the plotting functions on hand-made buffers.
#include "imageops/colors.h"
#include "imageops/plots.h"
#include "imageops/text_drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Bounding box of the pixels that are not 0.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Box InkBox(const Canvas& c) {
    Box b;
    for (auto [x, y] : c.PixelsNot(0)) {
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
    }
    return b;
}

void Cursor(int x, int y) {
    qiv_textX = qiv_textLeft = x;
    qiv_textY = y;
}

TEST(BitmapFont, EveryGlyphKeepsItsRightColumnFreeAndOnlyBlanksAreEmpty) {
    for (int c = 0x20; c <= 0x7F; ++c) {
        const std::uint8_t* glyph = BitmapFontGlyph(c);
        ASSERT_NE(glyph, nullptr);
        int ink = 0;
        for (int r = 0; r < 14; ++r) {
            EXPECT_EQ(glyph[r] & 0x01, 0) << "glyph " << c << " row " << r; // never touches
            ink |= glyph[r];
        }
        EXPECT_EQ(ink == 0, c == 0x20 || c == 0x7F) << c;
    }
    EXPECT_EQ(BitmapFontGlyph(0x1F), nullptr);
    EXPECT_EQ(BitmapFontGlyph(0x80), nullptr);
    const std::uint8_t* a = BitmapFontGlyph('A');
    EXPECT_EQ(std::vector<int>(a, a + 14), (std::vector<int>{0, 0, 0x18, 0x3C, 0x66, 0x66, 0x66,
                                                             0x7E, 0x66, 0x66, 0x66, 0, 0, 0}));
}

TEST(BitmapText, CellsCursorWrapAndSkippedBytes) {
    Canvas c(32, 100, 80);
    qiv_tc = 0x123456;
    Cursor(10, 30);
    QIV_DrawString("Hi");
    const Box hi = InkBox(c);
    EXPECT_GE(hi.left, 10);
    EXPECT_LE(hi.right, 25);
    EXPECT_GE(hi.top, 16);
    EXPECT_LE(hi.bottom, 29);
    EXPECT_EQ(qiv_textX, 26);
    EXPECT_EQ(c.At(hi.left, hi.top), 0x123456u);

    Cursor(0, 20);
    QIV_DrawString("\t\x80\xE3 abcdefghij"); // tab and bytes above 0x7F draw nothing
    EXPECT_EQ(qiv_textX, 88);                // after the eleventh character
    EXPECT_EQ(qiv_textY, 20);
    QIV_DrawChar('k');
    EXPECT_EQ(qiv_textX, 0);
    EXPECT_EQ(qiv_textY, 36);

    Canvas lines(8, 40, 60);
    qiv_tc = 0x1FF;
    Cursor(5, 20);
    QIV_DrawString("a\nb");
    EXPECT_EQ(qiv_textX, 13);
    EXPECT_EQ(qiv_textY, 36);
    EXPECT_EQ(lines.At(6, 24), 0xFFu); // the top of b's stem, on the line 16 rows down
    EXPECT_EQ(lines.At(6, 8), 0u);
    EXPECT_EQ(InkBox(lines).left, 6);
}

TEST(BitmapText, PrintfIsCutAtItsBuffer) {
    Canvas c(32, 8 * 5000, 16);
    Cursor(0, 14);
    const std::string longText(5000, 'x');
    QIV_DrawPrintf("%s", longText.c_str());
    EXPECT_EQ(qiv_textX, 8 * 4095);
    Cursor(0, 14);
    QIV_DrawPrintf("%d-%s", 42, "ab");
    EXPECT_EQ(qiv_textX, 8 * 5);
}

TEST(Plots, LineGraphsScalesAndStyles) {
    Canvas c(32, 212, 128);
    std::vector<int> red(200, 0xFF0000);
    QIV_PlotLine(red.data(), 12, 200, 0x81, 0xFF0000);
    QIV_PlotLine(red.data(), 12, 200, 0x82, 0x00FF00);
    QIV_PlotLine(red.data(), 12, 200, 0x84, 0x0000FF);
    EXPECT_EQ(c.At(12, 0), 0xFF0000u);
    EXPECT_EQ(c.At(211, 0), 0xFF0000u);
    EXPECT_EQ(c.At(12, 127), 0x0000FFu); // G then B along the bottom row
    EXPECT_EQ(c.At(11, 0), 0u);
    EXPECT_EQ(c.PixelsNot(0).size(), 400u);

    Canvas hue(32, 4, 128);
    const int hues[] = {0xFF0001, 0xFF0000};  // hue 359 and 0
    QIV_PlotLine(hues, 0, 2, 0x48, 0xFFFFFF); // dots: no line between them
    EXPECT_EQ(hue.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(hue.At(1, 127), 0xFFFFFFu);
    EXPECT_EQ(hue.PixelsNot(0).size(), 2u);
    QIV_PlotLine(hues, 2, 2, 0x08, 0xFFFFFF); // no style: nothing
    EXPECT_EQ(hue.PixelsNot(0).size(), 2u);

    Canvas bytes(32, 3, 128);
    const std::uint8_t levels[] = {255, 0, 128};
    QIV_PlotLine(levels, 0, 3, 0x1080, 0xFFFFFF);
    EXPECT_EQ(bytes.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(bytes.At(1, 127), 0xFFFFFFu);
    EXPECT_EQ(bytes.At(2, 64), 0xFFFFFFu); // 127 - 128 * 127 / 255
}

TEST(Plots, ChromaPlaneAndRowReading) {
    Canvas plane(32, 256, 256);
    const int greys[] = {0x808080, 0x404040};
    QIV_PlotCrCbLine(greys, 2);
    EXPECT_EQ(plane.At(128, 128), 0xFF00FFu); // the grey path's second segment, on the axes
    EXPECT_EQ(plane.At(128, 10), 0x808080u);  // vertical axis
    EXPECT_EQ(plane.At(255, 128), 0x808080u); // horizontal axis
    const int red[] = {0xFF0000};
    QIV_PlotCrCbArea(1, red, 1);
    EXPECT_EQ(plane.At(QIV_GetCb(0xFF0000) + 128, 128 - QIV_GetCr(0xFF0000)), 0xFFFFFFu);

    Canvas eight(8, 5, 2);
    eight.Raw()[8 + 4] = 77; // row 1, column 4 (rows padded to 8 bytes)
    std::uint8_t row[8];
    std::fill(std::begin(row), std::end(row), 9);
    QIV_ReadRow(row, 1, 8);
    EXPECT_EQ(row[4], 77);
    EXPECT_EQ(row[5], 0); // beyond the image
    QIV_ReadRow(row, 2, 8);
    EXPECT_EQ(row[4], 0);
}

} // namespace
