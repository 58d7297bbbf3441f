// The pixel work one interaction-loop iteration adds to the matcher: the previews, the depth
// pass's copies and conversions (with a matcher that does nothing), and the side-by-side pair.
// At 1000 x 750 views all of it should stay a small part of the loop's 100 ms.
#include "stereo/depth_pass.h"
#include "stereo/previews.h"
#include "stereo/save_results.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int W = 1000;
constexpr int H = 750;

struct Views {
    std::vector<std::uint32_t> a, b;
};

const Views& Pair() {
    static const Views views = [] {
        std::mt19937 rng(1);
        Views v{std::vector<std::uint32_t>(W * H), std::vector<std::uint32_t>(W * H)};
        for (std::size_t i = 0; i < v.a.size(); ++i) {
            v.a[i] = rng() & 0x00FFFFFF;
            v.b[i] = rng() & 0x00FFFFFF;
        }
        return v;
    }();
    return views;
}

int NoMatching(const CvArr*, const CvArr*, int, CvArr*, int, double, double, double, double,
               double) {
    return 0;
}

void Anaglyph(benchmark::State& state) {
    std::vector<std::uint32_t> preview(W * H);
    for (auto _ : state) {
        MakeAnaglyph(W, H, Pair().a.data(), Pair().b.data(), preview.data(), 12, -3);
        benchmark::DoNotOptimize(preview.data());
    }
}
BENCHMARK(Anaglyph)->Unit(benchmark::kMillisecond);

void WiggleFrames(benchmark::State& state) {
    std::vector<std::uint32_t> frameA(W * H), frameB(W * H);
    for (auto _ : state) {
        ComposeWiggleFrames(W, H, Pair().a.data(), Pair().b.data(), frameA.data(), frameB.data(),
                            12, -3);
        benchmark::DoNotOptimize(frameA.data());
    }
}
BENCHMARK(WiggleFrames)->Unit(benchmark::kMillisecond);

void DepthPassWithoutMatching(benchmark::State& state) {
    const DepthInput input{Pair().a.data(),          Pair().b.data(), W, H, 12, -3, 0,
                           INITIAL_STEREO_PARAMETERS};
    DepthPass pass;
    for (auto _ : state) {
        RunDepthPass(input, NoMatching, &pass);
        benchmark::DoNotOptimize(pass.map.data());
    }
}
BENCHMARK(DepthPassWithoutMatching)->Unit(benchmark::kMillisecond);

void AdjustedPair(benchmark::State& state) {
    std::vector<std::uint32_t> pair;
    for (auto _ : state) {
        ComposeAdjustedPair(W, H, Pair().a.data(), Pair().b.data(), 12, -3, &pair);
        benchmark::DoNotOptimize(pair.data());
    }
}
BENCHMARK(AdjustedPair)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
