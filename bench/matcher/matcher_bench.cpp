// Times the matcher on the garden scene (grey, default2 parameters) beside OpenCV's block
// matchers on the same pair in the same run, and beside the plain reference. Reported times are
// wall-clock and the process's CPU time; compare medians. "cells/s" counts the dynamic
// programme's cells, W x H x (D + 1), per second of wall time; Kernel runs the dynamic programme
// alone on one thread, one row group at a time, for its rate against the instruction count.
#include "stereo/stereo_matcher.h"
#include "stereo/stereo_matcher_internal.h"
#include "tests/app/stereo_reference.h"
#include "tools/scene/stereo_scene.h"

#include <opencv2/calib3d.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <new>
#include <tuple>
#include <vector>

namespace {

// Zeroed, 64-byte aligned storage, as the kernels' vector loads need.
template <typename T>
class AlignedBuffer {
public:
    explicit AlignedBuffer(size_t count)
        : data_(static_cast<T*>(::operator new[](count * sizeof(T), std::align_val_t{64}))) {
        std::fill(data_, data_ + count, T(0));
    }
    ~AlignedBuffer() { ::operator delete[](data_, std::align_val_t{64}); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    T* data() { return data_; }
    T& operator[](size_t i) { return data_[i]; }

private:
    T* data_;
};

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

void CountCells(benchmark::State& state, int w, int h, int d) {
    state.counters["cells/s"] =
        benchmark::Counter(double(w) * h * (d + 1), benchmark::Counter::kIsIterationInvariantRate);
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
    CountCells(state, w, h, d);
}

void OursWith(benchmark::State& state, int w, int h, int d, stereo::Kernel kernel, int threads) {
    const Pair& pair = GardenPair(w, h, d);
    cv::Mat depth(h, w, CV_8UC1);
    stereo::MatchParams p{d, 15, 3, 6, 8, 15};
    for (auto _ : state) {
        stereo::MatchGrey(pair.left.data, pair.left.step, pair.right.data, pair.right.step,
                          depth.data, depth.step, w, h, p, {kernel, threads});
    }
    CountCells(state, w, h, d);
}

void OursOneThread(benchmark::State& state, int w, int h, int d) {
    OursWith(state, w, h, d, stereo::Kernel::AUTO, 1);
}

void OursGeneric(benchmark::State& state, int w, int h, int d) {
    OursWith(state, w, h, d, stereo::Kernel::GENERIC, 0);
}

// The dynamic programme of the first row group of the pair, again and again, with the kernel the
// processor runs best; its inputs laid out as the matcher lays them out.
void Kernel(benchmark::State& state, int w, int h, int d) {
    const bool wide = stereo::Avx512Supported();
    if (!wide && !stereo::Avx2Supported()) {
        state.SkipWithError("the processor runs neither vector kernel");
        return;
    }
    const Pair& pair = GardenPair(w, h, d);
    const int lanes = wide ? stereo::WIDE_LANES : stereo::LANES;
    const int p1 = 15;
    std::vector<uint8_t> rmin(w), rmax(w), edges(w);
    AlignedBuffer<uint8_t> leftBytes(size_t(w) * lanes), rminBytes(size_t(w) * lanes),
        rmaxBytes(size_t(w) * lanes);
    AlignedBuffer<uint16_t> upBits(2 * size_t(w)), diagBits(2 * size_t(w));
    AlignedBuffer<int32_t> left(size_t(w) * lanes), rminWide(size_t(w) * lanes),
        rmaxWide(size_t(w) * lanes), upAllowed(size_t(w) * lanes), diagAllowed(size_t(w) * lanes);
    for (int lane = 0; lane < lanes; ++lane) {
        const uint8_t* l = pair.left.ptr(lane);
        stereo::RightBounds(pair.right.ptr(lane), w, rmin.data(), rmax.data());
        stereo::EdgeFlags(l, pair.right.ptr(lane), w, edges.data());
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(x) * lanes + lane;
            leftBytes[i] = l[x];
            rminBytes[i] = rmin[x];
            rmaxBytes[i] = rmax[x];
            upBits[2 * x + lane / 16] |= uint16_t((edges[x] & 1) << lane % 16);
            diagBits[2 * x + lane / 16] |= uint16_t((edges[x] >> 1 & 1) << lane % 16);
            left[i] = l[x];
            rminWide[i] = rmin[x] + p1;
            rmaxWide[i] = rmax[x] - p1;
            upAllowed[i] = -(edges[x] & 1);
            diagAllowed[i] = -(edges[x] >> 1 & 1);
        }
    }
    stereo::RowGroupInput in{lanes,
                             w,
                             d,
                             p1,
                             3,
                             left.data(),
                             rminWide.data(),
                             rmaxWide.data(),
                             upAllowed.data(),
                             diagAllowed.data(),
                             upBits.data(),
                             diagBits.data(),
                             leftBytes.data(),
                             rminBytes.data(),
                             rmaxBytes.data()};
    AlignedBuffer<int32_t> sums(size_t(d + 3) * lanes), upMasks(size_t(d + 3) * lanes);
    AlignedBuffer<uint8_t> steps(2 * size_t(w) * (d + 2) * (lanes / 8));
    const stereo::RowGroupTables tables{lanes, sums.data(), upMasks.data(), steps.data()};
    for (auto _ : state) {
        if (wide) {
            stereo::RunRowGroupAvx512(in, tables);
        } else {
            stereo::RunRowGroupAvx2(in, tables);
        }
        benchmark::ClobberMemory();
    }
    state.counters["cells/s"] = benchmark::Counter(double(w) * lanes * (d + 1),
                                                   benchmark::Counter::kIsIterationInvariantRate);
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
SIZES(Kernel, 5);
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
