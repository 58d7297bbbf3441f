// What the matcher computes on scenes whose disparities are known.
#include "tests/app/matcher_test_support.h"
#include "tests/support/watchdog.h"
#include "tools/scene/stereo_scene.h"

#include <algorithm>

namespace {

scene::Layer Background(int disparity, uint32_t seed, scene::Texture texture) {
    scene::Layer l;
    l.x0 = -1000;
    l.x1 = 2000;
    l.y1 = 1000;
    l.disparity = disparity;
    l.seed = seed;
    l.texture = texture;
    return l;
}

GreyPair Render(int w, int h, const std::vector<scene::Layer>& layers) {
    const scene::StereoPair s = scene::RenderLayers(w, h, layers);
    return {w, h, s.left.pixels, s.right.pixels};
}

GreyPair Swapped(const GreyPair& p) {
    return {p.width, p.height, p.right, p.left};
}

class Properties : public DeadlineTest {};

// The map holds the raw disparity, not one scaled to 0 ... 255; the same pair swapped has no
// match at +7, since the right view would have to lie to the left.
TEST_F(Properties, ShiftOfSevenGivesSevenAndSwappedDoesNot) {
    for (const ReferenceParams& preset : {DEFAULT1, DEFAULT2}) {
        for (uint32_t seed : {1u, 2u}) {
            const int w = 101, h = 40;
            const GreyPair pair = Render(w, h, {Background(7, seed, scene::Texture::BLOCKS)});
            const std::vector<uint8_t> map = Match(pair, WithDisparity(preset, 20));
            int interior = 0, sevens = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 10; x < w - 4; ++x) {
                    ++interior;
                    sevens += At(map, w, x, y) == 7;
                }
            }
            EXPECT_GE(sevens * 100, interior * 99) << "seed " << seed;
            EXPECT_LE(*std::max_element(map.begin(), map.end()), 20);

            const std::vector<uint8_t> swapped = Match(Swapped(pair), WithDisparity(preset, 20));
            EXPECT_LE(std::count(swapped.begin(), swapped.end(), 7) * 10,
                      std::ptrdiff_t(swapped.size()));
        }
    }
}

TEST_F(Properties, ConstantImagesGiveZero) {
    std::mt19937 rng(3);
    for (int value : {0, 77, 255}) {
        for (int w : {3, 4, 7, 33}) {
            const int h = 1 + int(rng() % 9);
            GreyPair pair{w, h, std::vector<uint8_t>(size_t(w) * h, uint8_t(value)),
                          std::vector<uint8_t>(size_t(w) * h, uint8_t(value))};
            for (const ReferenceParams& p :
                 {WithDisparity(DEFAULT1, w - 1), WithDisparity(DEFAULT2, 1),
                  ReferenceParams{std::min(w - 1, 5), 3, 1, 1, 1, 1}}) {
                const std::vector<uint8_t> map = Match(pair, p);
                ASSERT_EQ(map, std::vector<uint8_t>(map.size(), 0)) << w << " " << value;
            }
        }
    }
}

// Foreground at 12 over background at 4: both interiors exact; the background strip that only
// the left camera sees, left of the foreground, keeps background-side values instead of 12.
TEST_F(Properties, LayeredOcclusionStrip) {
    for (const ReferenceParams& preset : {DEFAULT1, DEFAULT2}) {
        for (uint32_t seed : {3u, 4u, 5u}) {
            const int w = 160, h = 60;
            scene::Layer front = Background(12, seed * 7, scene::Texture::NOISE);
            front.x0 = 60;
            front.x1 = 120;
            front.y0 = 15;
            front.y1 = 45;
            const GreyPair pair = Render(w, h, {Background(4, seed, scene::Texture::NOISE), front});
            const std::vector<uint8_t> map = Match(pair, WithDisparity(preset, 20));
            for (int y = 18; y < 42; ++y) {
                for (int x = 70; x < 110; ++x) {
                    ASSERT_EQ(At(map, w, x, y), 12) << x << "," << y;
                }
            }
            for (int y = 0; y < h; ++y) {
                for (int x = 13; x < w; ++x) {
                    if (y < 13 || y > 46 || x < 48 || x > 130) {
                        ASSERT_EQ(At(map, w, x, y), 4) << x << "," << y;
                    }
                }
            }
            // Left pixels 52 ... 59 show background hidden from the right camera.
            int strip = 0, foreground = 0, backgroundSide = 0;
            for (int y = front.y0; y < front.y1; ++y) {
                for (int x = 52; x < 60; ++x) {
                    const int d = At(map, w, x, y);
                    ++strip;
                    foreground += d == 12;
                    backgroundSide += d >= 4 && d < 12;
                }
            }
            EXPECT_LE(foreground * 10, strip) << "seed " << seed;
            EXPECT_GE(backgroundSide * 10, strip * 7) << "seed " << seed;
        }
    }
}

// Paths start at disparity 0 in column 0 and rise by at most one per column, so the strip at
// the left edge that the right view cannot show holds 0 or a ramp.
TEST_F(Properties, LeftEdgeStripIsZeroOrRamp) {
    for (const ReferenceParams& preset : {DEFAULT1, DEFAULT2}) {
        for (int d : {7, 10, 16}) {
            const int w = 120, h = 40;
            const GreyPair pair = Render(w, h, {Background(d, uint32_t(d), scene::Texture::NOISE)});
            const std::vector<uint8_t> map = Match(pair, WithDisparity(preset, 30));
            int strip = 0, ramp = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < d; ++x) {
                    ++strip;
                    ramp += At(map, w, x, y) <= x;
                }
            }
            EXPECT_GE(ramp * 100, strip * 97) << "d " << d;
        }
    }
}

// A reliable run of 0 is no source: the short runs between two long runs of 0 survive, while the
// same runs between long runs of 1 are overwritten.
TEST_F(Properties, ZeroDisparityNeverPropagates) {
    const int w = 50;
    std::vector<uint8_t> flat(w, 100);
    stereo::MatchParams p;
    p.maxDisparity = 9;
    p.highlyReliable = 1000; // no stop for reliability
    p.moderatelyReliable = 10;
    p.slightlyReliable = 0;
    for (int background : {0, 1}) {
        std::vector<uint8_t> row(w, uint8_t(background));
        row[24] = 6;
        row[25] = 9;
        stereo::PostProcessRows(row.data(), flat.data(), w, flat.data(), w, w, 1, p, 0, 1);
        if (background == 0) {
            EXPECT_EQ(row[24], 6);
            EXPECT_EQ(row[25], 9);
        } else {
            EXPECT_EQ(row[24], 1);
            EXPECT_EQ(row[25], 1);
        }
    }
}

// Rows are matched independently of how they are grouped into SIMD lanes and threads.
TEST_F(Properties, SameMapForEveryThreadCountAndKernel) {
    const GreyPair pair = Render(200, 53, scene::RandomLayers(200, 53, 40, 17));
    const ReferenceParams p = WithDisparity(DEFAULT2, 40);
    const std::vector<uint8_t> expected = MatchWith(pair, p, stereo::Kernel::GENERIC, 1);
    for (int threads : {2, 3, 8}) {
        EXPECT_EQ(MatchWith(pair, p, stereo::Kernel::GENERIC, threads), expected);
        EXPECT_EQ(MatchWith(pair, p, stereo::Kernel::AUTO, threads), expected);
    }
}

} // namespace
