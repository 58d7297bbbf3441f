// The test patterns on hand-made buffers of both depths and of degenerate sizes.
#include "imageops/colors.h"
#include "platform/win32.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

namespace {

using Pattern = void (*)();
constexpr Pattern PATTERNS[] = {QIV_TestPatternRGB, QIV_TestPatternHSV, QIV_TestPatternYCrCb,
                                QIV_TestPatternYuv, QIV_TestPatternYIQ, QIV_TestPatternGrey};

TEST(TestPatterns, DocumentedPixels) {
    Canvas rgb(32, 200, 100);
    QIV_TestPatternRGB();
    EXPECT_EQ(rgb.At(0, 0), 0x0000FFu);
    EXPECT_EQ(rgb.At(199, 99), static_cast<std::uint32_t>((253 << 16) | (252 << 8) | 2));

    Canvas chroma(32, 256, 256);
    for (Pattern p : {QIV_TestPatternYCrCb, QIV_TestPatternYuv, QIV_TestPatternYIQ}) {
        chroma.FillPattern(1);
        p();
        EXPECT_EQ(chroma.At(128, 128), 0u);
        EXPECT_NE(chroma.At(0, 0), 0u);
    }
    // The centre's right neighbour has Cb > 0 only: bluish; the one above has Cr > 0: reddish.
    QIV_TestPatternYCrCb();
    EXPECT_GT(chroma.At(200, 128) & 0xFF, chroma.At(200, 128) >> 16);
    EXPECT_GT(chroma.At(128, 60) >> 16, chroma.At(128, 60) & 0xFF);

    Canvas hsv(32, 360, 100);
    QIV_TestPatternHSV();
    EXPECT_EQ(hsv.At(0, 0), 0xFFFFFFu);  // white at the top
    EXPECT_EQ(hsv.At(0, 50), 0xFF0000u); // full colour in the middle
    EXPECT_EQ(hsv.At(121, 50), 0x00FF00u);
    EXPECT_EQ(hsv.At(0, 99), 0x060000u); // nearly black at the bottom
}

TEST(TestPatterns, EightBitWindowsTakeTheLowByteAndGreyGetsItsRamp) {
    Canvas canvas(8, 10, 4);
    // A colour table to receive the ramp, as an 8-bit window's memDC holds one.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 10, -4, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    qiv_image[0].memDC = dc;

    QIV_TestPatternGrey();
    RGBQUAD table[256] = {};
    ASSERT_EQ(GetDIBColorTable(dc, 0, 256, table), 256u);
    EXPECT_EQ(table[77].rgbRed, 77);
    EXPECT_EQ(table[77].rgbGreen, 77);
    EXPECT_EQ(table[77].rgbBlue, 77);
    EXPECT_EQ(canvas.At(5, 0), 127u); // 255 * 5 / 10
    EXPECT_EQ(canvas.At(5, 1), 127u);
    EXPECT_EQ(canvas.At(5, 2), 128u); // the lower half darkens: 255 - 127
    EXPECT_EQ(canvas.At(0, 3), 255u);

    QIV_TestPatternRGB();
    EXPECT_EQ(canvas.At(0, 0), 0xFFu); // the blue channel of 0x0000FF

    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    qiv_image[0].memDC = nullptr;
}

TEST(TestPatterns, DegenerateSizesDrawEveryPixelInside) {
    for (int bits : {32, 8}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{7, 1}}) {
            Canvas canvas(bits, w, h);
            for (Pattern p : PATTERNS) {
                canvas.FillPattern(3);
                const auto before = canvas.Snapshot();
                p();
                // Row padding of 8-bit buffers is never written; every pixel is.
                EXPECT_NE(canvas.Snapshot(), before) << bits << " " << w << "x" << h;
            }
        }
    }
    // One row: the HSV pattern shows the full-colour line rather than dividing by zero.
    Canvas line(32, 4, 1);
    QIV_TestPatternHSV();
    EXPECT_EQ(line.At(0, 0), 0xFF0000u);
}

} // namespace
