// Paint: 4-connected regions, boundaries, and values that must not make the fill run away.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Draws a picture given as rows of characters: '#' = 1, '.' = 0.
void Draw(const std::vector<std::string>& rows) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
            QIV_SetPixel(x, y, rows[y][x] == '#' ? 1 : 0);
        }
    }
}

std::vector<std::string> Picture(const Canvas& canvas) {
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.Height(); ++y) {
        std::string row;
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t v = canvas.At(x, y);
            row += v == 0 ? '.' : v == 1 ? '#' : '*';
        }
        rows.push_back(row);
    }
    return rows;
}

class Paint : public ::testing::Test {
protected:
    void SetUp() override { qiv_color = 2; }
    void TearDown() override { qiv_color = 0xFFFFFF; }
};

} // namespace

TEST_F(Paint, DiagonalOnlyOutlineStopsTheFill) {
    for (int bits : {32, 8}) {
        Canvas canvas(bits, 7, 7);
        const std::vector<std::string> picture = {
            "...#...", //
            "..#.#..", //
            ".#...#.", //
            "#.....#", //
            ".#...#.", //
            "..#.#..", //
            "...#...", //
        };
        Draw(picture);
        QIV_Paint(3, 3);
        EXPECT_EQ(Picture(canvas), (std::vector<std::string>{
                                       "...#...", //
                                       "..#*#..", //
                                       ".#***#.", //
                                       "#*****#", //
                                       ".#***#.", //
                                       "..#*#..", //
                                       "...#...", //
                                   }))
            << bits;
    }
}

TEST_F(Paint, FillsARaggedRegionCompletely) {
    Canvas canvas(32, 9, 6);
    Draw({
        ".........", //
        ".##.#.##.", //
        ".#..#..#.", //
        ".#.###.#.", //
        ".#.....#.", //
        "####.####", //
    });
    QIV_Paint(0, 0);
    EXPECT_EQ(Picture(canvas), (std::vector<std::string>{
                                   "*********", //
                                   "*##*#*##*", //
                                   "*#**#**#*", //
                                   "*#*###*#*", //
                                   "*#*****#*", //
                                   "####*####", //
                               }));
}

TEST_F(Paint, NothingHappensOnTheColourOrOutside) {
    Canvas canvas(32, 4, 4);
    canvas.FillPattern(5);
    const auto before = canvas.Snapshot();
    QIV_Paint(-1, 0);
    QIV_Paint(0, 4);
    EXPECT_EQ(canvas.Snapshot(), before);
    QIV_SetPixel(1, 1, 2);
    const auto marked = canvas.Snapshot();
    QIV_Paint(1, 1);
    EXPECT_EQ(canvas.Snapshot(), marked);
}

TEST_F(Paint, RegionReadingAsMinusOneStaysInside) {
    // A 32-bit pixel may hold 0xFFFFFFFF, the value a read outside the image answers; the
    // fill must still stop at the image's edges.
    Canvas canvas(32, 5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            QIV_SetPixel(x, y, -1);
        }
    }
    QIV_Paint(2, 1);
    EXPECT_TRUE(canvas.PixelsNot(2).empty());
}

TEST_F(Paint, EightBitRegionAlreadyHoldingTheColourIndexEnds) {
    // On an 8-bit buffer only the colour's low byte is stored: a region of that index is
    // already painted and must be left alone rather than refilled for ever.
    Canvas canvas(8, 6, 6);
    qiv_color = 0x123402;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            QIV_SetPixel(x, y, 2);
        }
    }
    const auto before = canvas.Snapshot();
    QIV_Paint(3, 3);
    EXPECT_EQ(canvas.Snapshot(), before);

    // A different region gets the low byte.
    QIV_SetPixel(0, 0, 9);
    QIV_Paint(0, 0);
    EXPECT_EQ(canvas.At(0, 0), 2u);
}

TEST_F(Paint, MoreSeedsThanTheStackHoldsStaysSafe) {
    // Combs with thousands of teeth offer far more seeds than the stack holds: the fill must
    // end, paint only the region and never a wall.
    const int width = 16001;
    Canvas canvas(8, width, 4);
    for (int x = 0; x < width; ++x) {
        QIV_SetPixel(x, 1, x % 2 == 0 ? 1 : 0);
        QIV_SetPixel(x, 3, x % 2 == 0 ? 1 : 0);
    }
    QIV_Paint(1, 0);
    int painted = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool wall = (y == 1 || y == 3) && x % 2 == 0;
            ASSERT_EQ(canvas.At(x, y), wall ? 1u : canvas.At(x, y)) << x << "," << y;
            painted += canvas.At(x, y) == 2 ? 1 : 0;
        }
    }
    EXPECT_GE(painted, width); // at least the first row
}
