// Reducing photos to a GIF palette: the two 1000 x 667 frames of a wiggle GIF (shared palette,
// dithered) and a 3000 x 2000 picture saved as GIF (no dithering). Noise is the worst case: every
// pixel a colour of its own.
#include "photoio/gif_animation.h"
#include "tests/support/rgb_noise.h"

#include <benchmark/benchmark.h>

namespace {

void BM_WiggleGif1000x667(benchmark::State& state) {
    const auto a = RgbNoise(1000, 667, 1), b = RgbNoise(1000, 667, 2);
    const PhotoPixels frames[] = {{a.data(), 1000, 667, 3, 3000}, {b.data(), 1000, 667, 3, 3000}};
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes;
        benchmark::DoNotOptimize(EncodeLoopingGif(frames, 2, 100, &bytes, nullptr));
    }
}
BENCHMARK(BM_WiggleGif1000x667)->Unit(benchmark::kMillisecond);

void BM_Palette3000x2000(benchmark::State& state) {
    const auto a = RgbNoise(3000, 2000, 3);
    const PhotoPixels frame{a.data(), 3000, 2000, 3, 9000};
    for (auto _ : state) {
        std::vector<std::vector<std::uint8_t>> indices;
        std::vector<std::uint32_t> palette;
        benchmark::DoNotOptimize(QuantiseFrames(&frame, 1, 0.0f, &indices, &palette, nullptr));
    }
}
BENCHMARK(BM_Palette3000x2000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
