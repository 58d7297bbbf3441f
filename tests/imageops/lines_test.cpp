// Lines: exact pixels, direction independence, clipping, the pen.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<int, int>>;

Points Drawn(const Canvas& canvas) {
    return canvas.PixelsNot(0);
}

Points Sorted(Points p) {
    std::sort(p.begin(), p.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    return p;
}

// The whole stepping walk over every point of the line, clipped afterwards to a width x height
// image: what the library's walk, which skips the outside steps, must reproduce exactly.
Points ReferenceLine(int x1, int y1, int x2, int y2, int width, int height) {
    Points out;
    auto put = [&](std::int64_t x, std::int64_t y) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            out.emplace_back(static_cast<int>(x), static_cast<int>(y));
        }
    };
    std::int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (ax == bx || ay == by) {
        for (std::int64_t y = std::min(ay, by); y <= std::max(ay, by); ++y) {
            for (std::int64_t x = std::min(ax, bx); x <= std::max(ax, bx); ++x) {
                put(x, y);
            }
        }
        return Sorted(out);
    }
    if (ax > bx) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const std::int64_t dx = bx - ax, dy = std::abs(by - ay), s = by > ay ? 1 : -1;
    std::int64_t x = ax, y = ay;
    put(x, y);
    if (dx >= dy) {
        std::int64_t e = (dx + 1) / 2;
        while (x != bx) {
            e -= dy;
            ++x;
            if (e <= 0) {
                e += dx;
                y += s;
            }
            put(x, y);
        }
    } else {
        std::int64_t e = (dy + 1) / 2;
        while (y != by) {
            e -= dx;
            y += s;
            if (e <= 0) {
                e += dy;
                ++x;
            }
            put(x, y);
        }
    }
    return Sorted(out);
}

} // namespace

TEST(Lines, ExactPixelsOfShallowAndSteepLines) {
    {
        Canvas canvas(32, 6, 6);
        QIV_DrawLine(0, 0, 4, 2, 1);
        EXPECT_EQ(Sorted(Drawn(canvas)), Sorted({{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
        EXPECT_EQ(qiv_pen.x, 4);
        EXPECT_EQ(qiv_pen.y, 2);
    }
    {
        Canvas canvas(8, 6, 6);
        QIV_DrawLine(0, 0, 2, 4, 1);
        EXPECT_EQ(Sorted(Drawn(canvas)), Sorted({{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}));
        EXPECT_EQ(qiv_pen.x, 2);
        EXPECT_EQ(qiv_pen.y, 4);
    }
    {
        Canvas canvas(32, 4, 4);
        QIV_DrawLine(3, 0, 0, 3, 5); // exact diagonal, given right to left
        EXPECT_EQ(Sorted(Drawn(canvas)), Sorted({{3, 0}, {2, 1}, {1, 2}, {0, 3}}));
        EXPECT_EQ(qiv_pen.x, 0);
        EXPECT_EQ(qiv_pen.y, 3);
    }
}

TEST(Lines, SamePixelsWhicheverEndComesFirst) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-4, 23);
    for (int round = 0; round < 400; ++round) {
        const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        Canvas forward(32, 20, 20, 1);
        QIV_DrawLine(x1, y1, x2, y2, 1);
        const auto a = Drawn(forward);
        Canvas backward(32, 20, 20, 2);
        QIV_DrawLine(x2, y2, x1, y1, 1);
        ASSERT_EQ(a, Drawn(backward)) << x1 << "," << y1 << " - " << x2 << "," << y2;
    }
}

TEST(Lines, XorForwardThenBackwardRestores) {
    for (int bits : {32, 8}) {
        Canvas canvas(bits, 30, 20);
        canvas.FillPattern(3);
        const auto before = canvas.Snapshot();
        QIV_XorLine(10, 10, 20, 15);
        EXPECT_NE(canvas.Snapshot(), before);
        QIV_XorLine(20, 15, 10, 10);
        EXPECT_EQ(canvas.Snapshot(), before) << bits;
    }
}

TEST(Lines, ClippedLinesDrawExactlyTheirInsidePart) {
    // Lines reaching outside are walked from their first inside step; the result must be the
    // inside part of the full walk, pixel for pixel, for ends near and far from the image.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> near(-40, 60);
    std::uniform_int_distribution<int> far(-60000, 60000);
    for (int round = 0; round < 900; ++round) {
        int x1 = near(rng), y1 = near(rng), x2 = near(rng), y2 = near(rng);
        if (round % 3 == 1) {
            x1 = far(rng);
            y2 = far(rng) / 50;
        } else if (round % 3 == 2) {
            y1 = far(rng);
            x2 = far(rng) / 50;
        }
        const int bits = round % 2 == 0 ? 8 : 32;
        Canvas canvas(bits, 23, 17);
        QIV_DrawLine(x1, y1, x2, y2, 1);
        ASSERT_EQ(Drawn(canvas), ReferenceLine(x1, y1, x2, y2, 23, 17))
            << x1 << "," << y1 << " - " << x2 << "," << y2;
    }
}

TEST(Lines, ExtremeEndPointsStayExact) {
    // dx = 2^32 - 1 and dy = 1: the error term starts at 2^31, so the single step of y falls
    // exactly at x = 0 and the whole visible part lies on row 1.
    Canvas canvas(32, 16, 16);
    QIV_DrawLine(-2147483647 - 1, 0, 2147483647, 1, 1);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(canvas.At(x, 0), 0u) << x;
        EXPECT_EQ(canvas.At(x, 1), 1u) << x;
    }
    EXPECT_EQ(canvas.PixelsNot(0).size(), 16u);
    EXPECT_EQ(qiv_pen.x, 2147483647);
    EXPECT_EQ(qiv_pen.y, 1);

    Canvas steep(32, 8, 8, 1);
    QIV_DrawLine(3, 2147483647, 3, -2147483647 - 1, 2);
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(steep.At(3, y), 2u);
    }
    EXPECT_EQ(steep.PixelsNot(0).size(), 8u);
}
