// Every inverting shape drawn twice leaves the image as it was: at random positions inside,
// across the edges and outside, at random sizes, on both buffer depths.
#include "imageops/drawing.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

struct Shape {
    std::string name;
    std::function<void(int, int, int, int)> draw; // position and a size pair
};

const std::vector<Shape>& Shapes() {
    static const std::vector<Shape> shapes = {
        {"pixel", [](int x, int y, int, int) { QIV_XorPixel(x, y); }},
        {"plotted pixel", [](int x, int y, int, int) { QIV_PlotXorPixel(x, y); }},
        {"line", [](int x, int y, int w, int h) { QIV_XorLine(x, y, x + w, y + h); }},
        {"box", [](int x, int y, int w, int h) { QIV_XorBox(x, y, x + w, y + h); }},
        {"filled box", [](int x, int y, int w, int h) { QIV_XorFillBox(x, y, x + w, y + h); }},
        {"circle", [](int x, int y, int w, int) { QIV_XorCircle(x, y, w < 0 ? -w : w); }},
        {"disc", [](int x, int y, int w, int) { QIV_XorFillCircle(x, y, w < 0 ? -w : w); }},
    };
    return shapes;
}

} // namespace

TEST(XorShapes, DrawingTwiceRestoresTheImage) {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> position(-30, 60); // image is 31 x 23
    std::uniform_int_distribution<int> size(-40, 40);
    for (int bits : {32, 8}) {
        for (const Shape& shape : Shapes()) {
            for (int round = 0; round < 300; ++round) {
                Canvas canvas(bits, 31, 23);
                canvas.FillPattern(static_cast<std::uint32_t>(round));
                const auto before = canvas.Snapshot();
                const int x = position(rng), y = position(rng), w = size(rng), h = size(rng);
                shape.draw(x, y, w, h);
                shape.draw(x, y, w, h);
                ASSERT_EQ(canvas.Snapshot(), before) << shape.name << " " << bits << "-bit at " << x
                                                     << "," << y << " size " << w << "," << h;
            }
        }
    }
}

TEST(XorShapes, LinesAndBoxesErasedFromTheOtherCorner) {
    // Rubber bands are erased with the corners given the other way round.
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> coord(-10, 40);
    for (int bits : {32, 8}) {
        for (int round = 0; round < 300; ++round) {
            Canvas canvas(bits, 29, 31);
            canvas.FillPattern(static_cast<std::uint32_t>(round + 1000));
            const auto before = canvas.Snapshot();
            const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
            QIV_XorLine(x1, y1, x2, y2);
            QIV_XorLine(x2, y2, x1, y1);
            QIV_XorBox(x1, y1, x2, y2);
            QIV_XorBox(x2, y1, x1, y2);
            QIV_XorFillBox(x1, y2, x2, y1);
            QIV_XorFillBox(x2, y2, x1, y1);
            ASSERT_EQ(canvas.Snapshot(), before) << x1 << "," << y1 << " " << x2 << "," << y2;
        }
    }
}
