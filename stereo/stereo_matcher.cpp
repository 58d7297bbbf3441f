// The matcher on plain buffers: parameter rounding and its three parallel stages (scanline
// dynamic programme by row groups, vertical propagation by column blocks, horizontal propagation
// by rows). Threads live for one call; the stages share nothing but the map.
#include "stereo/grey_matcher.h"
#include "stereo/stereo_matcher_internal.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <vector>

namespace stereo {

namespace {

constexpr double DEFAULT_SENTINEL = 12345.0;
constexpr int DEFAULT_PARAMS[5] = {25, 5, 12, 15, 25};
constexpr int ROW_BLOCK = 16;
constexpr int COLUMN_BLOCK = 64; // whole cache lines of the map per task and row

// Nearest integer, ties to even, whatever the floating-point rounding mode.
double RoundHalfEven(double v) {
    const double down = std::floor(v);
    const double fraction = v - down;
    if (fraction < 0.5) {
        return down;
    }
    if (fraction > 0.5) {
        return down + 1;
    }
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

// Runs body() on up to `threads` threads, the caller's included; each body takes its tasks from
// a shared counter. A thread that cannot be started leaves its share to the others.
template <typename Body>
void RunOnThreads(int threads, Body body) {
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i) {
        try {
            pool.emplace_back(body);
        } catch (...) {
            break;
        }
    }
    body();
    for (std::thread& t : pool) {
        t.join();
    }
}

// A 64-byte aligned array, for the vector tables of a row group.
template <typename T>
struct AlignedArray {
    T* data = nullptr;
    explicit AlignedArray(size_t count)
        : data(static_cast<T*>(::operator new[](count * sizeof(T), std::align_val_t{64}))) {}
    ~AlignedArray() { ::operator delete[](data, std::align_val_t{64}); }
    AlignedArray(const AlignedArray&) = delete;
    AlignedArray& operator=(const AlignedArray&) = delete;
};

size_t Words(int w, int lanes) {
    return lanes == WIDE_LANES ? 0 : size_t(w) * lanes;
}

size_t Bytes(int w, int lanes) {
    return lanes == WIDE_LANES ? size_t(w) * lanes : 0;
}

// Working memory of one thread of the first stage: one row group's inputs and tables, allocated
// once per call and reused for every group the thread takes.
struct RowGroupWorkspace {
    int lanes;
    AlignedArray<int32_t> left, rmin, rmax, upAllowed, diagAllowed;
    AlignedArray<uint32_t> upBits, diagBits;
    AlignedArray<uint8_t> leftBytes, rminBytes, rmaxBytes;
    std::vector<uint8_t> rowMin, rowMax, rowEdges;
    AlignedArray<int32_t> sums, upMasks;
    AlignedArray<uint8_t> steps;

    // The wide kernel reads bytes and bit masks, the others widened words.
    RowGroupWorkspace(int w, int maxDisparity, int lanes)
        : lanes(lanes), left(Words(w, lanes)), rmin(Words(w, lanes)), rmax(Words(w, lanes)),
          upAllowed(Words(w, lanes)), diagAllowed(Words(w, lanes)), upBits(Bytes(w, lanes) / lanes),
          diagBits(Bytes(w, lanes) / lanes), leftBytes(Bytes(w, lanes)), rminBytes(Bytes(w, lanes)),
          rmaxBytes(Bytes(w, lanes)), rowMin(w), rowMax(w), rowEdges(w),
          sums(size_t(maxDisparity + 3) * lanes), upMasks(size_t(maxDisparity + 3) * lanes),
          steps(2 * size_t(w) * (maxDisparity + 2) * (lanes / 8)) {}
};

void MatchRowGroup(RowGroupWorkspace& ws, const uint8_t* left, size_t leftStep,
                   const uint8_t* right, size_t rightStep, uint8_t* map, int width, int height,
                   const MatchParams& params, Kernel kernel, int group) {
    const int lanes = ws.lanes;
    const int y0 = group * lanes;
    const int rows = std::min(lanes, height - y0);
    if (lanes == WIDE_LANES) {
        std::fill(ws.upBits.data, ws.upBits.data + width, 0u);
        std::fill(ws.diagBits.data, ws.diagBits.data + width, 0u);
    }
    // Lanes past the last row repeat it; their results are dropped.
    for (int lane = 0; lane < lanes; ++lane) {
        const int y = y0 + std::min(lane, rows - 1);
        const uint8_t* l = left + size_t(y) * leftStep;
        const uint8_t* r = right + size_t(y) * rightStep;
        RightBounds(r, width, ws.rowMin.data(), ws.rowMax.data());
        EdgeFlags(l, r, width, ws.rowEdges.data());
        const uint8_t* e = ws.rowEdges.data();
        if (lanes == WIDE_LANES) {
            for (int x = 0; x < width; ++x) {
                const size_t i = size_t(x) * lanes + lane;
                ws.leftBytes.data[i] = l[x];
                ws.rminBytes.data[i] = ws.rowMin[x];
                ws.rmaxBytes.data[i] = ws.rowMax[x];
                ws.upBits.data[x] |= uint32_t(e[x] & EDGE_LEFT) << lane;
                ws.diagBits.data[x] |= uint32_t(e[x] >> 1 & 1) << lane;
            }
            continue;
        }
        const int p1 = params.occlusionPenalty;
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(x) * lanes + lane;
            ws.left.data[i] = l[x];
            ws.rmin.data[i] = ws.rowMin[x] + p1;
            ws.rmax.data[i] = ws.rowMax[x] - p1;
            ws.upAllowed.data[i] = -(e[x] & EDGE_LEFT);
            ws.diagAllowed.data[i] = -(e[x] >> 1 & 1);
        }
    }
    RowGroupInput in;
    in.lanes = lanes;
    in.width = width;
    in.maxDisparity = params.maxDisparity;
    in.occlusionPenalty = params.occlusionPenalty;
    in.matchReward = params.matchReward;
    in.left = ws.left.data;
    in.rminPlusP1 = ws.rmin.data;
    in.rmaxMinusP1 = ws.rmax.data;
    in.upAllowed = ws.upAllowed.data;
    in.diagAllowed = ws.diagAllowed.data;
    in.upBits = ws.upBits.data;
    in.diagBits = ws.diagBits.data;
    in.leftBytes = ws.leftBytes.data;
    in.rminBytes = ws.rminBytes.data;
    in.rmaxBytes = ws.rmaxBytes.data;
    RowGroupTables tables{lanes, ws.sums.data, ws.upMasks.data, ws.steps.data};
    switch (kernel) {
    case Kernel::AVX512:
        RunRowGroupAvx512(in, tables);
        break;
    case Kernel::AVX2:
        RunRowGroupAvx2(in, tables);
        break;
    default:
        RunRowGroupGeneric(in, tables);
        break;
    }
    for (int lane = 0; lane < rows; ++lane) {
        Backtrack(tables, width, params.maxDisparity, lane, map + size_t(y0 + lane) * width);
    }
}

// The kernel asked for, or the best one the processor runs.
Kernel ChooseKernel(Kernel asked) {
    const bool avx512 = Avx512Supported();
    const bool avx2 = Avx2Supported();
    switch (asked) {
    case Kernel::GENERIC:
        return Kernel::GENERIC;
    case Kernel::AVX2:
        return avx2 ? Kernel::AVX2 : Kernel::GENERIC;
    default:
        return avx512 ? Kernel::AVX512 : avx2 ? Kernel::AVX2 : Kernel::GENERIC;
    }
}

} // namespace

bool Avx2Supported() {
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool Avx512Supported() {
#if defined(__x86_64__)
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl");
#else
    return false;
#endif
}

int ResolveParameters(int width, int maxDisparity, const double raw[5], MatchParams* out) {
    int values[5];
    for (int i = 0; i < 5; ++i) {
        if (raw[i] == DEFAULT_SENTINEL) {
            values[i] = DEFAULT_PARAMS[i];
            continue;
        }
        if (!std::isfinite(raw[i])) {
            return STEREO_ERR_PARAMETER;
        }
        const double rounded = RoundHalfEven(raw[i]);
        if (rounded < double(INT_MIN) || rounded > double(INT_MAX)) {
            return STEREO_ERR_PARAMETER;
        }
        values[i] = int(rounded);
    }
    // A path through the table has at most 2W + D steps, each adding at most
    // max(|P1|, |P2|) + 255 in magnitude. Keeping that below BIG / 2 keeps every sum within int
    // and every reachable sum apart from the BIG border sums, so no path ever crosses the border.
    const int64_t step = std::max(std::llabs(values[0]), std::llabs(values[1])) + 255;
    const int64_t length = 2 * int64_t(width) + maxDisparity;
    if (step * length >= BIG / 2) {
        return STEREO_ERR_PARAMETER;
    }
    out->maxDisparity = maxDisparity;
    out->occlusionPenalty = values[0];
    out->matchReward = values[1];
    out->highlyReliable = values[2];
    out->moderatelyReliable = values[3];
    out->slightlyReliable = values[4];
    return STEREO_OK;
}

int MatchGrey(const uint8_t* left, size_t leftStep, const uint8_t* right, size_t rightStep,
              uint8_t* depth, size_t depthStep, int width, int height, const MatchParams& params,
              const MatchOptions& options) {
    const Kernel kernel = ChooseKernel(options.kernel);
    const int lanes = kernel == Kernel::AVX512 ? WIDE_LANES : LANES;
    int threads = options.threads;
    if (threads <= 0) {
        threads = std::max(1, int(std::thread::hardware_concurrency()));
    }
    const int groups = (height + lanes - 1) / lanes;
    std::atomic<bool> failed{false};
    try {
        // The map is built apart from depth, which may alias an input still being read.
        // Every pixel is written by its row group before it is read.
        const std::unique_ptr<uint8_t[]> map(new uint8_t[size_t(width) * height]);

        // Each stage hands out its tasks in order; a thread that fails to allocate stops
        // taking tasks and the whole call reports it.
        std::atomic<int> nextGroup{0};
        RunOnThreads(std::min(threads, groups), [&] {
            try {
                RowGroupWorkspace ws(width, params.maxDisparity, lanes);
                for (int g = nextGroup++; g < groups && !failed; g = nextGroup++) {
                    MatchRowGroup(ws, left, leftStep, right, rightStep, map.get(), width, height,
                                  params, kernel, g);
                }
            } catch (const std::bad_alloc&) {
                failed = true;
            }
        });
        if (failed) {
            return STEREO_ERR_MEMORY;
        }

        const int columnBlocks = (width + COLUMN_BLOCK - 1) / COLUMN_BLOCK;
        std::atomic<int> nextColumns{0};
        RunOnThreads(std::min(threads, columnBlocks), [&] {
            try {
                for (int b = nextColumns++; b < columnBlocks && !failed; b = nextColumns++) {
                    const int first = b * COLUMN_BLOCK;
                    PostProcessColumns(map.get(), left, leftStep, width, height, params, first,
                                       std::min(first + COLUMN_BLOCK, width));
                }
            } catch (const std::bad_alloc&) {
                failed = true;
            }
        });
        if (failed) {
            return STEREO_ERR_MEMORY;
        }

        const int rowBlocks = (height + ROW_BLOCK - 1) / ROW_BLOCK;
        std::atomic<int> nextRows{0};
        RunOnThreads(std::min(threads, rowBlocks), [&] {
            try {
                for (int b = nextRows++; b < rowBlocks && !failed; b = nextRows++) {
                    const int first = b * ROW_BLOCK;
                    PostProcessRows(map.get(), left, leftStep, right, rightStep, width, height,
                                    params, first, std::min(first + ROW_BLOCK, height));
                }
            } catch (const std::bad_alloc&) {
                failed = true;
            }
        });
        if (failed) {
            return STEREO_ERR_MEMORY;
        }

        for (int y = 0; y < height; ++y) {
            std::memcpy(depth + size_t(y) * depthStep, map.get() + size_t(y) * width, width);
        }
    } catch (const std::bad_alloc&) {
        return STEREO_ERR_MEMORY;
    }
    return STEREO_OK;
}

} // namespace stereo
