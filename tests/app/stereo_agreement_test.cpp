// The fast matcher agrees bit for bit with the plain reference.
#include "app/stereo_matcher_internal.h"
#include "tests/app/stereo_reference.h"
#include "tests/app/watchdog.h"

#include <random>

namespace {

struct Case {
    int width, height;
    ReferenceParams p;
};

std::vector<uint8_t> Noise(int w, int h, std::mt19937& rng) {
    std::vector<uint8_t> v(size_t(w) * h);
    for (auto& b : v) {
        b = uint8_t(rng());
    }
    return v;
}

std::vector<uint8_t> Fast(const std::vector<uint8_t>& l, const std::vector<uint8_t>& r, int w,
                          int h, const ReferenceParams& p, stereo::Kernel kernel, int threads) {
    stereo::MatchParams mp;
    mp.maxDisparity = p.maxDisparity;
    mp.occlusionPenalty = p.p1;
    mp.matchReward = p.p2;
    mp.highlyReliable = p.p3;
    mp.moderatelyReliable = p.p4;
    mp.slightlyReliable = p.p5;
    std::vector<uint8_t> out(size_t(w) * h, 0xAA);
    EXPECT_EQ(
        stereo::MatchGrey(l.data(), w, r.data(), w, out.data(), w, w, h, mp, {kernel, threads}), 0);
    return out;
}

class Agreement : public DeadlineTest {};

TEST_F(Agreement, NoiseManySizes) {
    std::mt19937 rng(1);
    for (int i = 0; i < 300; ++i) {
        const int w = 3 + int(rng() % 60);
        const int h = 1 + int(rng() % 20);
        const int dmax = std::min(255, w - 1);
        ReferenceParams p{1 + int(rng() % dmax), 25, 5, 12, 15, 25};
        if (i % 2) {
            p = {p.maxDisparity, 15, 3, 6, 8, 15};
        }
        auto l = Noise(w, h, rng), r = Noise(w, h, rng);
        auto ref = ReferenceDisparity(l.data(), r.data(), w, h, p);
        for (auto kernel : {stereo::Kernel::GENERIC, stereo::Kernel::AVX2}) {
            auto fast = Fast(l, r, w, h, p, kernel, 1 + i % 3);
            ASSERT_EQ(fast, ref) << "case " << i << " w " << w << " h " << h << " D "
                                 << p.maxDisparity;
        }
    }
}

} // namespace
