// The fast matcher agrees bit for bit with the plain reference, over sizes, disparity ranges,
// parameter sets, textures, every kernel and several thread counts.
#include "tests/app/matcher_test_support.h"
#include "tests/support/watchdog.h"
#include "tools/scene/stereo_scene.h"

#include <algorithm>
#include <string>

namespace {

GreyPair Noise(int w, int h, std::mt19937& rng) {
    GreyPair p{w, h, std::vector<uint8_t>(size_t(w) * h), std::vector<uint8_t>(size_t(w) * h)};
    // Mostly low-contrast noise, so that edges and their absence both occur.
    const int amplitude = 1 + int(rng() % 256);
    for (size_t i = 0; i < p.left.size(); ++i) {
        p.left[i] = uint8_t(rng() % amplitude);
        p.right[i] = uint8_t(rng() % amplitude);
    }
    return p;
}

GreyPair Layers(int w, int h, int maxDisparity, uint32_t seed) {
    const scene::StereoPair s =
        scene::RenderLayers(w, h, scene::RandomLayers(w, h, maxDisparity, seed));
    return {w, h, s.left.pixels, s.right.pixels};
}

ReferenceParams RandomParams(int maxDisparity, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    switch (rng() % 4) {
    case 0:
        return WithDisparity(DEFAULT1, maxDisparity);
    case 1:
        return WithDisparity(DEFAULT2, maxDisparity);
    case 2: // anything, negative values included
        return {maxDisparity, pick(-40, 60), pick(-30, 40),
                pick(-5, 30), pick(-5, 30),  pick(-5, 30)};
    default: // small run lengths, so that propagation does a lot
        return {maxDisparity, pick(0, 30), pick(0, 10), pick(1, 4), pick(1, 3), pick(1, 5)};
    }
}

std::string Describe(const GreyPair& pair, const ReferenceParams& p) {
    return std::to_string(pair.width) + "x" + std::to_string(pair.height) + " D " +
           std::to_string(p.maxDisparity) + " P " + std::to_string(p.p1) + " " +
           std::to_string(p.p2) + " " + std::to_string(p.p3) + " " + std::to_string(p.p4) + " " +
           std::to_string(p.p5);
}

// Every kernel the processor runs, one to three threads, and the C entry point.
void ExpectAgreement(const GreyPair& pair, const ReferenceParams& p, int variant) {
    const std::vector<uint8_t> expected = Reference(pair, p);
    ASSERT_EQ(MatchWith(pair, p, stereo::Kernel::GENERIC, 1 + variant % 3), expected)
        << "generic " << Describe(pair, p);
    if (stereo::Avx2Supported()) {
        ASSERT_EQ(MatchWith(pair, p, stereo::Kernel::AVX2, 1 + (variant + 1) % 3), expected)
            << "avx2 " << Describe(pair, p);
    }
    if (stereo::Avx512Supported()) {
        ASSERT_EQ(MatchWith(pair, p, stereo::Kernel::AVX512, 1 + (variant + 2) % 3), expected)
            << "avx512 " << Describe(pair, p);
    }
    ASSERT_EQ(Match(pair, p), expected) << "entry point " << Describe(pair, p);
}

class Agreement : public DeadlineTest {};

TEST_F(Agreement, NoiseOverManySizes) {
    std::mt19937 rng(11);
    for (int i = 0; i < 160; ++i) {
        const int w = 3 + int(rng() % 50);
        const int h = 1 + int(rng() % 15);
        const int maxDisparity = 1 + int(rng() % std::min(255, w - 1));
        ExpectAgreement(Noise(w, h, rng), RandomParams(maxDisparity, rng), i);
    }
}

TEST_F(Agreement, SmallestWidthsEveryDisparity) {
    std::mt19937 rng(12);
    for (int w = 3; w <= 9; ++w) {
        for (int d = 1; d < w; ++d) {
            for (int h : {1, 2, 3, 9}) {
                ExpectAgreement(Noise(w, h, rng), RandomParams(d, rng), w + d + h);
            }
        }
    }
}

TEST_F(Agreement, LayeredScenes) {
    std::mt19937 rng(13);
    for (int i = 0; i < 60; ++i) {
        const int w = 8 + int(rng() % 100);
        const int h = 1 + int(rng() % 20);
        const int maxDisparity = 1 + int(rng() % std::min(255, w - 1));
        ExpectAgreement(Layers(w, h, maxDisparity, rng()), RandomParams(maxDisparity, rng), i);
    }
}

TEST_F(Agreement, FullDisparityRangeAndLargerImages) {
    std::mt19937 rng(14);
    ExpectAgreement(Layers(300, 5, 255, 5), WithDisparity(DEFAULT1, 255), 0);
    ExpectAgreement(Noise(256, 3, rng), WithDisparity(DEFAULT2, 255), 1);
    ExpectAgreement(Layers(257, 9, 255, 6), {255, -7, 12, 3, 2, 9}, 2);
    ExpectAgreement(Layers(200, 33, 60, 7), WithDisparity(DEFAULT2, 60), 0);
}

// The largest penalties the argument check lets through still give identical maps (and, under
// UBSan, no overflow in the reference).
TEST_F(Agreement, PenaltiesAtTheOverflowBound) {
    std::mt19937 rng(15);
    const int w = 40, d = 30;
    const int64_t limit = (stereo::BIG / 2 - 1) / (2 * w + d) - 255;
    for (int sign : {1, -1}) {
        const int p = int(limit) * sign;
        ExpectAgreement(Noise(w, 5, rng), {d, p, 3, 6, 8, 15}, 0);
        ExpectAgreement(Noise(w, 5, rng), {d, 15, p, 6, 8, 15}, 1);
        ExpectAgreement(Layers(w, 6, d, rng()), {d, p, -p, 6, 8, 15}, 2);
    }
}

// The byte transposition that moves scanlines into lanes and the map into columns, by tiles and
// the rows and columns left over, between strides wider than the data.
TEST_F(Agreement, TransposeBytesEverySizeUpTo40) {
    std::mt19937 rng(17);
    std::vector<uint8_t> src(43 * 45), dst(45 * 43), expected(45 * 43);
    for (uint8_t& v : src) {
        v = uint8_t(rng());
    }
    for (int rows = 1; rows <= 40; ++rows) {
        for (int cols = 1; cols <= 40; ++cols) {
            std::fill(dst.begin(), dst.end(), uint8_t(0xEE));
            expected = dst;
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < cols; ++c) {
                    expected[size_t(c) * 43 + r] = src[size_t(r) * 45 + c];
                }
            }
            stereo::TransposeBytes(src.data(), 45, rows, cols, dst.data(), 43);
            ASSERT_EQ(dst, expected) << rows << " x " << cols;
        }
    }
}

// Non-integers are rounded to the nearest integer, ties to even; 12345 stands for the default.
TEST_F(Agreement, ParameterRoundingAndDefaults) {
    std::mt19937 rng(16);
    const GreyPair pair = Layers(90, 12, 40, 99);
    struct {
        double raw[5];
        ReferenceParams rounded;
    } cases[] = {
        {{2.5, 3.5, -2.5, 0.5, 1.5}, {40, 2, 4, -2, 0, 2}},
        {{-0.5, -1.5, 5.4999, 5.5001, 6.5}, {40, 0, -2, 5, 6, 6}},
        {{12345, 12345, 12345, 12345, 12345}, WithDisparity(DEFAULT1, 40)},
        {{15, 12345, 6, 12345, 15}, {40, 15, 5, 6, 15, 15}},
        {{14.6, 3.2, 6.49, 7.5, 14.5}, WithDisparity(DEFAULT2, 40)},
    };
    for (const auto& c : cases) {
        int result = -1;
        const std::vector<uint8_t> got = Match(pair, 40, c.raw, &result);
        ASSERT_EQ(result, STEREO_OK);
        EXPECT_EQ(got, Reference(pair, c.rounded))
            << c.raw[0] << " " << c.raw[1] << " " << c.raw[2] << " " << c.raw[3] << " " << c.raw[4];
    }
}

} // namespace
