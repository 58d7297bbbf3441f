// The matcher on plain buffers: parameter rounding and its three parallel stages (scanline
// dynamic programme by row groups, vertical propagation by column blocks, horizontal propagation
// by rows). Threads live for one call; the stages share nothing but the map.
#include "stereo/grey_matcher.h"
#include "stereo/stereo_matcher_internal.h"
#include "stereo/thread_split.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

size_t Rows(int w, int lanes) {
    return lanes == WIDE_LANES ? size_t(w) * lanes : size_t(w);
}

// Working memory of one thread of the first stage: one row group's inputs and tables, allocated
// once per call and reused for every group the thread takes.
struct RowGroupWorkspace {
    int lanes;
    AlignedArray<int32_t> left, rmin, rmax, upAllowed, diagAllowed;
    AlignedArray<uint16_t> upBits, diagBits;
    AlignedArray<uint8_t> leftBytes, rminBytes, rmaxBytes, edgeBytes;
    // One scanline each, or the wide kernel's WIDE_LANES of them before they are interleaved
    // (the left one only for the wide kernel).
    std::vector<uint8_t> rowLeft, rowMin, rowMax, rowEdges;
    AlignedArray<int32_t> sums, upMasks;
    AlignedArray<uint8_t> steps;

    // The wide kernel reads bytes and bit masks, the others widened words.
    RowGroupWorkspace(int w, int maxDisparity, int lanes)
        : lanes(lanes), left(Words(w, lanes)), rmin(Words(w, lanes)), rmax(Words(w, lanes)),
          upAllowed(Words(w, lanes)), diagAllowed(Words(w, lanes)), upBits(Bytes(w, lanes) / 16),
          diagBits(Bytes(w, lanes) / 16), leftBytes(Bytes(w, lanes)), rminBytes(Bytes(w, lanes)),
          rmaxBytes(Bytes(w, lanes)), edgeBytes(Bytes(w, lanes)), rowLeft(Bytes(w, lanes)),
          rowMin(Rows(w, lanes)), rowMax(Rows(w, lanes)), rowEdges(Rows(w, lanes)),
          sums(size_t(maxDisparity + 3) * lanes), upMasks(size_t(maxDisparity + 3) * lanes),
          steps(2 * size_t(w) * (maxDisparity + 2) * (lanes / 8)) {}
};

// The wide kernel's gate masks from the edge flags of WIDE_LANES interleaved rows: bit lane % 16
// of [2 * x + lane / 16].
void GateBits(const uint8_t* edges, int width, uint16_t* upBits, uint16_t* diagBits) {
    for (int x = 0; x < 2 * width; ++x) {
        const uint8_t* e = edges + size_t(x) * 16;
#if defined(__SSE2__)
        // The flag bits moved to the top of each byte, where the byte mask picks them up.
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e));
        upBits[x] = uint16_t(_mm_movemask_epi8(_mm_slli_epi16(v, 7)));
        diagBits[x] = uint16_t(_mm_movemask_epi8(_mm_slli_epi16(v, 6)));
#else
        unsigned up = 0, diag = 0;
        for (int i = 0; i < 16; ++i) {
            up |= unsigned(e[i] & EDGE_LEFT) << i;
            diag |= unsigned(e[i] >> 1 & 1) << i;
        }
        upBits[x] = uint16_t(up);
        diagBits[x] = uint16_t(diag);
#endif
    }
}

void MatchRowGroup(RowGroupWorkspace& ws, const uint8_t* left, size_t leftStep,
                   const uint8_t* right, size_t rightStep, uint8_t* map, int width, int height,
                   const MatchParams& params, Kernel kernel, int group) {
    const int lanes = ws.lanes;
    const int y0 = group * lanes;
    const int rows = std::min(lanes, height - y0);
    // Lanes past the last row repeat it; their results are dropped.
    for (int lane = 0; lane < lanes; ++lane) {
        const int y = y0 + std::min(lane, rows - 1);
        const uint8_t* l = left + size_t(y) * leftStep;
        const uint8_t* r = right + size_t(y) * rightStep;
        if (lanes == WIDE_LANES) {
            // Row by row here, all rows into lanes below.
            const size_t at = size_t(lane) * width;
            std::memcpy(ws.rowLeft.data() + at, l, size_t(width));
            RightBounds(r, width, ws.rowMin.data() + at, ws.rowMax.data() + at);
            EdgeFlags(l, r, width, ws.rowEdges.data() + at);
            continue;
        }
        RightBounds(r, width, ws.rowMin.data(), ws.rowMax.data());
        EdgeFlags(l, r, width, ws.rowEdges.data());
        const uint8_t* e = ws.rowEdges.data();
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
    if (lanes == WIDE_LANES) {
        TransposeBytes(ws.rowLeft.data(), size_t(width), lanes, width, ws.leftBytes.data, lanes);
        TransposeBytes(ws.rowMin.data(), size_t(width), lanes, width, ws.rminBytes.data, lanes);
        TransposeBytes(ws.rowMax.data(), size_t(width), lanes, width, ws.rmaxBytes.data, lanes);
        TransposeBytes(ws.rowEdges.data(), size_t(width), lanes, width, ws.edgeBytes.data, lanes);
        GateBits(ws.edgeBytes.data, width, ws.upBits.data, ws.diagBits.data);
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
    auto cancelled = [&] {
        return options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed);
    };
    try {
        // The map is built apart from depth, which may alias an input still being read.
        // Every pixel is written by its row group before it is read.
        const std::unique_ptr<uint8_t[]> map(new uint8_t[size_t(width) * height]);

        // Each stage hands out its tasks in order; an allocation that fails on any thread
        // reaches the catch below once the stage's threads are joined. The row groups keep one
        // workspace per thread.
        std::atomic<int> nextGroup{0};
        RunOnThreads(std::min(threads, groups), ThreadShortage::SHARE, [&](int) {
            RowGroupWorkspace ws(width, params.maxDisparity, lanes);
            for (int g = nextGroup++; g < groups && !cancelled(); g = nextGroup++) {
                MatchRowGroup(ws, left, leftStep, right, rightStep, map.get(), width, height,
                              params, kernel, g);
            }
        });
        if (cancelled()) {
            return STEREO_CANCELLED;
        }
        const int columnBlocks = (width + COLUMN_BLOCK - 1) / COLUMN_BLOCK;
        ForEachTask(threads, columnBlocks, ThreadShortage::SHARE, [&](int b) {
            const int first = b * COLUMN_BLOCK;
            if (!cancelled()) {
                PostProcessColumns(map.get(), left, leftStep, width, height, params, first,
                                   std::min(first + COLUMN_BLOCK, width));
            }
        });
        if (cancelled()) {
            return STEREO_CANCELLED;
        }
        const int rowBlocks = (height + ROW_BLOCK - 1) / ROW_BLOCK;
        ForEachTask(threads, rowBlocks, ThreadShortage::SHARE, [&](int b) {
            const int first = b * ROW_BLOCK;
            if (!cancelled()) {
                PostProcessRows(map.get(), left, leftStep, right, rightStep, width, height, params,
                                first, std::min(first + ROW_BLOCK, height));
            }
        });
        if (cancelled()) {
            return STEREO_CANCELLED;
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
