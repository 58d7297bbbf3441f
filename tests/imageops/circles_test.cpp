// Circle outlines and discs: the centre-only circle, exact coverage, and discs that span the
// outline's rows.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <utility>

namespace {

// Leftmost and rightmost drawn pixel of every row that has one.
std::map<int, std::pair<int, int>> RowSpans(const Canvas& canvas) {
    std::map<int, std::pair<int, int>> spans;
    for (const auto& [x, y] : canvas.PixelsNot(0)) {
        auto [it, fresh] = spans.try_emplace(y, x, x);
        it->second.first = std::min(it->second.first, x);
        it->second.second = std::max(it->second.second, x);
    }
    return spans;
}

} // namespace

TEST(Circles, RadiusZeroIsTheCentre) {
    Canvas canvas(32, 5, 5);
    QIV_DrawCircle(2, 3, 0, 0x0000FF);
    EXPECT_EQ(canvas.PixelsNot(0), (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(qiv_pen.x, 2);
    EXPECT_EQ(qiv_pen.y, 3);

    // The inverted forms show the centre too, and a second call erases it.
    Canvas inverted(8, 5, 5, 1);
    QIV_XorCircle(1, 1, 0);
    EXPECT_EQ(inverted.PixelsNot(0), (std::vector<std::pair<int, int>>{{1, 1}}));
    QIV_XorCircle(1, 1, 0);
    QIV_XorFillCircle(3, 3, 0);
    EXPECT_EQ(inverted.PixelsNot(0), (std::vector<std::pair<int, int>>{{3, 3}}));
}

TEST(Circles, NegativeRadiusDrawsNothing) {
    Canvas canvas(8, 9, 9);
    QIV_DrawCircle(4, 4, -3, 1);
    QIV_XorCircle(4, 4, -3);
    QIV_FillCircle(4, 4, -3);
    QIV_XorFillCircle(4, 4, -3);
    EXPECT_TRUE(canvas.PixelsNot(0).empty());
}

TEST(Circles, SmallOutlinesAreExact) {
    Canvas canvas(8, 7, 7);
    QIV_DrawCircle(3, 3, 1, 1);
    EXPECT_EQ(canvas.PixelsNot(0),
              (std::vector<std::pair<int, int>>{{3, 2}, {2, 3}, {4, 3}, {3, 4}}));

    Canvas two(8, 7, 7, 1);
    QIV_DrawCircle(3, 3, 2, 1);
    EXPECT_EQ(two.PixelsNot(0), (std::vector<std::pair<int, int>>{{2, 1},
                                                                  {3, 1},
                                                                  {4, 1},
                                                                  {1, 2},
                                                                  {5, 2},
                                                                  {1, 3},
                                                                  {5, 3},
                                                                  {1, 4},
                                                                  {5, 4},
                                                                  {2, 5},
                                                                  {3, 5},
                                                                  {4, 5}}));
}

TEST(Circles, InvertedOutlineTouchesEachPixelOnce) {
    // An outline pixel inverted twice would vanish from the inverted form.
    for (int r = 1; r <= 60; ++r) {
        const int size = 2 * r + 5;
        Canvas drawn(8, size, size, 1);
        QIV_DrawCircle(r + 2, r + 2, r, 255);
        Canvas inverted(8, size, size, 2);
        QIV_XorCircle(r + 2, r + 2, r);
        ASSERT_EQ(inverted.Snapshot(), drawn.Snapshot()) << "r = " << r;
    }
}

TEST(Circles, DiscRowsAreCoveredOnceAndSpanTheOutline) {
    for (int r = 1; r <= 80; ++r) {
        const int size = 2 * r + 5;
        const int c = r + 2;
        Canvas outline(8, size, size, 1);
        QIV_DrawCircle(c, c, r, 255);
        const auto outlineSpans = RowSpans(outline);

        Canvas disc(8, size, size, 2);
        QIV_XorFillCircle(c, c, r);
        const auto discSpans = RowSpans(disc);
        ASSERT_EQ(discSpans.size(), static_cast<std::size_t>(2 * r + 1)) << "r = " << r;
        ASSERT_EQ(discSpans, outlineSpans) << "r = " << r;
        for (const auto& [y, span] : discSpans) {
            for (int x = span.first; x <= span.second; ++x) {
                // A row inverted twice would read 0 here, a pixel outside the span is caught
                // by the span comparison above.
                ASSERT_EQ(disc.At(x, y), 255u) << "r = " << r << " at " << x << "," << y;
            }
        }

        // The coloured disc paints the same pixels.
        Canvas filled(8, size, size, 3);
        qiv_color = 7;
        QIV_FillCircle(c, c, r);
        qiv_color = 0xFFFFFF;
        ASSERT_EQ(RowSpans(filled), discSpans) << "r = " << r;
        ASSERT_EQ(filled.PixelsNot(0).size(), disc.PixelsNot(0).size()) << "r = " << r;
    }
}

TEST(Circles, InvertingTwiceRestoresForManyRadii) {
    for (int bits : {32, 8}) {
        for (int r = 0; r <= 70; ++r) {
            Canvas canvas(bits, 41, 37);
            canvas.FillPattern(static_cast<std::uint32_t>(r));
            const auto before = canvas.Snapshot();
            // Centres inside and on the edge, so that clipping is exercised too.
            const int cx = r % 3 == 0 ? 20 : (r % 3 == 1 ? 0 : 40);
            QIV_XorFillCircle(cx, 18, r);
            QIV_XorFillCircle(cx, 18, r);
            ASSERT_EQ(canvas.Snapshot(), before) << "disc r = " << r;
            QIV_XorCircle(cx, 18, r);
            QIV_XorCircle(cx, 18, r);
            ASSERT_EQ(canvas.Snapshot(), before) << "circle r = " << r;
        }
    }
}

TEST(Circles, HugeRadiiAndCentresStaySafe) {
    Canvas canvas(32, 8, 8);
    // Far away: nothing visible, no overflow.
    QIV_DrawCircle(INT_MAX, INT_MIN, 1000, 1);
    QIV_XorFillCircle(INT_MIN, INT_MAX, 1000);
    EXPECT_TRUE(canvas.PixelsNot(0).empty());
    // A disc much larger than the image covers all of it.
    qiv_color = 3;
    QIV_FillCircle(4, 4, 200000);
    qiv_color = 0xFFFFFF;
    EXPECT_TRUE(canvas.PixelsNot(3).empty());
}
