// Single pixels: clipping, both depths, inversion, the pen, and a current image window that
// does not exist.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

TEST(Pixels, StoresAndReadsOnlyInside) {
    Canvas canvas(32, 4, 3);
    const auto before = canvas.Snapshot();
    QIV_SetPixel(-1, 0, 7);
    QIV_SetPixel(4, 0, 7);
    QIV_SetPixel(0, -1, 7);
    QIV_SetPixel(0, 3, 7);
    EXPECT_EQ(canvas.Snapshot(), before);
    EXPECT_EQ(QIV_GetPixel(-1, 0), 0);
    EXPECT_EQ(QIV_ReadPixel(-1, 0), -1);
    EXPECT_EQ(QIV_ReadPixel(0, 3), -1);

    QIV_SetPixel(3, 2, 0x00123456);
    EXPECT_EQ(canvas.At(3, 2), 0x00123456u);
    EXPECT_EQ(QIV_GetPixel(3, 2), 0x00123456);
    EXPECT_EQ(QIV_ReadPixel(3, 2), 0x00123456);
    EXPECT_EQ(canvas.PixelsNot(0).size(), 1u);
}

TEST(Pixels, ThirtyTwoBitKeepsWholeWordAndInvertsLowBytes) {
    Canvas canvas(32, 2, 2);
    QIV_SetPixel(0, 0, 0x00102030);
    QIV_XorPixel(0, 0);
    EXPECT_EQ(canvas.At(0, 0), 0x00EFDFCFu);

    // The top byte is stored as given and survives inversion.
    QIV_SetPixel(1, 1, static_cast<int>(0xAB000001u));
    EXPECT_EQ(QIV_GetPixel(1, 1), static_cast<int>(0xAB000001u));
    QIV_XorPixel(1, 1);
    EXPECT_EQ(canvas.At(1, 1), 0xABFFFFFEu);
}

TEST(Pixels, EightBitStoresLowByteAndComplements) {
    Canvas canvas(8, 5, 2);
    QIV_SetPixel(4, 1, 0x1234);
    EXPECT_EQ(canvas.At(4, 1), 0x34u);
    EXPECT_EQ(QIV_ReadPixel(4, 1), 0x34);
    QIV_XorPixel(4, 1);
    EXPECT_EQ(QIV_GetPixel(4, 1), 0xCB);
    // Row padding is never written: the row stride is 8, columns 5..7 stay 0.
    const auto bytes = canvas.Snapshot();
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes[8 + 4], 0xCB);
    for (int x = 5; x < 8; ++x) {
        EXPECT_EQ(bytes[8 + x], 0);
    }
}

TEST(Pixels, PlotMovesThePenEvenOutside) {
    Canvas canvas(8, 3, 3);
    QIV_PlotPixel(1, 2, 9);
    EXPECT_EQ(qiv_pen.x, 1);
    EXPECT_EQ(qiv_pen.y, 2);
    EXPECT_EQ(canvas.At(1, 2), 9u);
    QIV_PlotXorPixel(-5, 40);
    EXPECT_EQ(qiv_pen.x, -5);
    EXPECT_EQ(qiv_pen.y, 40);
    QIV_PlotXorPixel(1, 2);
    EXPECT_EQ(canvas.At(1, 2), 246u);
}

TEST(Pixels, TargetWithoutWindowDrawsNothing) {
    Canvas canvas(32, 3, 3, 5);
    canvas.FillPattern(1);
    const auto before = canvas.Snapshot();
    const auto tryEverything = [] {
        QIV_SetPixel(1, 1, 1);
        QIV_XorPixel(1, 1);
        QIV_DrawLine(0, 0, 2, 2, 1);
        QIV_XorLine(0, 2, 2, 0);
        QIV_FillBox(0, 0, 2, 2);
        QIV_XorBox(0, 0, 2, 2);
        QIV_XorFillBox(0, 0, 2, 2);
        QIV_DrawCircle(1, 1, 1, 1);
        QIV_XorFillCircle(1, 1, 1);
        QIV_FillCircle(1, 1, 1);
        QIV_Paint(1, 1);
        EXPECT_EQ(QIV_GetPixel(1, 1), 0);
        EXPECT_EQ(QIV_ReadPixel(1, 1), -1);
    };

    qiv_target = 4; // never created
    tryEverything();
    qiv_target = -1;
    tryEverything();
    qiv_target = 256;
    tryEverything();

    qiv_target = 5;
    qiv_pixels32[5] = nullptr; // in use but its buffer is gone
    tryEverything();
    EXPECT_EQ(canvas.Snapshot(), before);
}
