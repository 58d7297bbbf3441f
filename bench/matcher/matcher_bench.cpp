// Times the matcher on the garden scene (grey, default2 parameters) beside OpenCV's block
// matchers on the same pair in the same run, and beside the plain reference. Reported times are
// wall-clock; compare medians.
#include "stereo/stereo_matcher.h"
#include "stereo/stereo_matcher_internal.h"
#include "tests/app/stereo_reference.h"
#include "tools/scene/stereo_scene.h"

#include <opencv2/calib3d.hpp>

#include <benchmark/benchmark.h>

#include <map>
#include <mutex>
#include <tuple>

namespace {

struct Pair {
    cv::Mat left, right;
};

// Rendered once per size: the garden takes seconds to ray-cast at the largest size.
const Pair& GardenPair(int width, int height, int maxDisparity) {
    static std::map<std::tuple<int, int, int>, Pair> cache;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    auto [it, added] = cache.try_emplace({width, height, maxDisparity});
    if (added) {
        const scene::StereoPair pair = scene::RenderGarden(width, height, maxDisparity, 0);
        const scene::Image l = scene::ToGrey(pair.left), r = scene::ToGrey(pair.right);
        it->second.left =
            cv::Mat(height, width, CV_8UC1, const_cast<uint8_t*>(l.pixels.data())).clone();
        it->second.right =
            cv::Mat(height, width, CV_8UC1, const_cast<uint8_t*>(r.pixels.data())).clone();
    }
    return it->second;
}

int BlockMatcherRange(int maxDisparity) {
    return (maxDisparity + 1 + 15) / 16 * 16;
}

void Ours(benchmark::State& state, int w, int h, int d) {
    const Pair& pair = GardenPair(w, h, d);
    cv::Mat depth(h, w, CV_8UC1);
    IplImage l = cvIplImage(pair.left), r = cvIplImage(pair.right), out = cvIplImage(depth);
    for (auto _ : state) {
        if (cvFindStereoCorrespondence(&l, &r, CV_DISPARITY_BIRCHFIELD, &out, d, 15, 3, 6, 8, 15)) {
            state.SkipWithError("refused");
        }
    }
}

void OursWith(benchmark::State& state, int w, int h, int d, stereo::Kernel kernel, int threads) {
    const Pair& pair = GardenPair(w, h, d);
    cv::Mat depth(h, w, CV_8UC1);
    stereo::MatchParams p{d, 15, 3, 6, 8, 15};
    for (auto _ : state) {
        stereo::MatchGrey(pair.left.data, pair.left.step, pair.right.data, pair.right.step,
                          depth.data, depth.step, w, h, p, {kernel, threads});
    }
}

void OursOneThread(benchmark::State& state, int w, int h, int d) {
    OursWith(state, w, h, d, stereo::Kernel::AUTO, 1);
}

void OursGeneric(benchmark::State& state, int w, int h, int d) {
    OursWith(state, w, h, d, stereo::Kernel::GENERIC, 0);
}

void StereoBM(benchmark::State& state, int w, int h, int d) {
    const Pair& pair = GardenPair(w, h, d);
    cv::Ptr<cv::StereoBM> bm = cv::StereoBM::create(BlockMatcherRange(d), 15);
    cv::Mat disparity;
    for (auto _ : state) {
        bm->compute(pair.left, pair.right, disparity);
    }
}

void StereoSGBM(benchmark::State& state, int w, int h, int d) {
    const Pair& pair = GardenPair(w, h, d);
    const int block = 5;
    cv::Ptr<cv::StereoSGBM> sgbm =
        cv::StereoSGBM::create(0, BlockMatcherRange(d), block, 8 * block * block,
                               32 * block * block, 0, 0, 0, 0, 0, cv::StereoSGBM::MODE_SGBM_3WAY);
    cv::Mat disparity;
    for (auto _ : state) {
        sgbm->compute(pair.left, pair.right, disparity);
    }
}

void Reference(benchmark::State& state, int w, int h, int d) {
    const Pair& pair = GardenPair(w, h, d);
    const cv::Mat l = pair.left.clone(), r = pair.right.clone(); // rows without padding
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceDisparity(l.data, r.data, w, h, {d, 15, 3, 6, 8, 15}));
    }
}

#define SIZES(fn, reps)                                                                            \
    BENCHMARK_CAPTURE(fn, 640x480_d64, 640, 480, 64)                                               \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()                                                                  \
        ->Repetitions(reps)                                                                        \
        ->ReportAggregatesOnly(true);                                                              \
    BENCHMARK_CAPTURE(fn, 1000x750_d100, 1000, 750, 100)                                           \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()                                                                  \
        ->Repetitions(reps)                                                                        \
        ->ReportAggregatesOnly(true);                                                              \
    BENCHMARK_CAPTURE(fn, 2000x1500_d200, 2000, 1500, 200)                                         \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()                                                                  \
        ->Repetitions(reps)                                                                        \
        ->ReportAggregatesOnly(true)

SIZES(Ours, 9);
SIZES(StereoBM, 9);
SIZES(StereoSGBM, 5);
SIZES(OursOneThread, 5);
SIZES(OursGeneric, 3);
// One pass of the reference at the largest size takes seconds.
BENCHMARK_CAPTURE(Reference, 640x480_d64, 640, 480, 64)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Reference, 1000x750_d100, 1000, 750, 100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Reference, 2000x1500_d200, 2000, 1500, 200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
