// Clearing a window's buffer.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ClearImage, ZeroesEveryByteIncludingRowPadding) {
    for (int bits : {32, 8}) {
        Canvas canvas(bits, 5, 3, 7);
        canvas.FillPattern(9);
        const auto bytes = canvas.Snapshot();
        ASSERT_TRUE(std::any_of(bytes.begin(), bytes.end(), [](auto b) { return b != 0; }));
        qiv_target = 0; // clearing names its window, not the current one
        QIV_ClearImage(7);
        const auto cleared = canvas.Snapshot();
        EXPECT_TRUE(std::all_of(cleared.begin(), cleared.end(), [](auto b) { return b == 0; }))
            << bits;
    }
}

TEST(ClearImage, InvalidNumbersDoNothing) {
    Canvas canvas(8, 3, 3, 1);
    canvas.FillPattern(4);
    const auto before = canvas.Snapshot();
    QIV_ClearImage(-1);
    QIV_ClearImage(256);
    QIV_ClearImage(2);
    qiv_image[1].inUse = 0;
    QIV_ClearImage(1);
    qiv_image[1].inUse = 1;
    qiv_pixels8[1] = nullptr;
    QIV_ClearImage(1);
    EXPECT_EQ(canvas.Snapshot(), before);
}
