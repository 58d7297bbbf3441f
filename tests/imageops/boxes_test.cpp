// Rectangles: corner order, filled area, and the inverted outline touching each pixel once.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

std::set<std::pair<int, int>> Rect(int x1, int y1, int x2, int y2, bool outlineOnly) {
    std::set<std::pair<int, int>> out;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            if (!outlineOnly || x == x1 || x == x2 || y == y1 || y == y2) {
                out.insert({x, y});
            }
        }
    }
    return out;
}

std::set<std::pair<int, int>> Set(const std::vector<std::pair<int, int>>& v) {
    return {v.begin(), v.end()};
}

} // namespace

class Boxes : public ::testing::Test {
protected:
    void SetUp() override { qiv_color = 0x00ABCDEF; }
    void TearDown() override { qiv_color = 0xFFFFFF; }
};

TEST_F(Boxes, FillBoxFillsTheSameSquareWhateverTheCornerOrder) {
    Canvas a(32, 8, 8, 1);
    QIV_FillBox(5, 5, 1, 1);
    EXPECT_EQ(Set(a.PixelsNot(0)), Rect(1, 1, 5, 5, false));
    EXPECT_EQ(a.At(3, 3), 0x00ABCDEFu);
    Canvas b(32, 8, 8, 2);
    QIV_FillBox(1, 5, 5, 1);
    EXPECT_EQ(b.Snapshot(), a.Snapshot());
}

TEST_F(Boxes, FillBoxCoversThinAndClippedRectangles) {
    for (auto [x1, y1, x2, y2] : {std::tuple{2, 2, 3, 6}, {1, 4, 6, 4}, {-3, -2, 2, 9}}) {
        Canvas canvas(8, 7, 7);
        QIV_FillBox(x1, y1, x2, y2);
        auto expected =
            Rect(std::max(x1, 0), std::max(y1, 0), std::min(x2, 6), std::min(y2, 6), false);
        EXPECT_EQ(Set(canvas.PixelsNot(0)), expected) << x1 << "," << y1;
        EXPECT_EQ(canvas.At(std::max(x1, 0), std::max(y1, 0)), 0xEFu);
    }
}

TEST_F(Boxes, DrawBoxDrawsTheOutline) {
    Canvas canvas(32, 9, 9);
    QIV_DrawBox(6, 7, 1, 2);
    EXPECT_EQ(Set(canvas.PixelsNot(0)), Rect(1, 2, 6, 7, true));
}

TEST_F(Boxes, XorFillBoxInvertsEachPixelOnce) {
    Canvas canvas(8, 6, 6);
    QIV_XorFillBox(4, 4, 1, 2);
    EXPECT_EQ(Set(canvas.PixelsNot(0)), Rect(1, 2, 4, 4, false));
    EXPECT_TRUE(canvas.PixelsNot(255).size() == 36u - 12u);
    EXPECT_EQ(qiv_pen.x, 4);
    EXPECT_EQ(qiv_pen.y, 4);
}

TEST_F(Boxes, XorBoxInvertsTheOutlineOnce) {
    {
        Canvas canvas(8, 8, 8);
        QIV_XorBox(6, 5, 1, 1);
        EXPECT_EQ(Set(canvas.PixelsNot(0)), Rect(1, 1, 6, 5, true));
        for (const auto& [x, y] : canvas.PixelsNot(0)) {
            EXPECT_EQ(canvas.At(x, y), 255u);
        }
    }
    {
        Canvas canvas(8, 8, 8);
        QIV_XorBox(1, 3, 6, 3); // single row
        EXPECT_EQ(Set(canvas.PixelsNot(0)), Rect(1, 3, 6, 3, false));
        EXPECT_EQ(canvas.At(1, 3), 255u);
    }
    {
        Canvas canvas(8, 8, 8);
        QIV_XorBox(1, 3, 6, 4); // two rows, no columns between them
        EXPECT_EQ(Set(canvas.PixelsNot(0)), Rect(1, 3, 6, 4, false));
        EXPECT_EQ(canvas.At(1, 3), 255u);
        EXPECT_EQ(canvas.At(6, 4), 255u);
    }
    {
        Canvas canvas(8, 8, 8);
        QIV_XorBox(2, 1, 2, 6); // one column wide: a visible vertical line
        EXPECT_EQ(Set(canvas.PixelsNot(0)), Rect(2, 1, 2, 6, false));
        EXPECT_EQ(canvas.At(2, 3), 255u);
    }
}
