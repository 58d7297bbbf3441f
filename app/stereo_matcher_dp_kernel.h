// The dynamic programme of one row group, written once with GCC vector extensions and compiled
// twice: with AVX2 and for the baseline instruction set. Everything here has internal linkage so
// that the two compilations never meet at link time.
//
// Lanes are scanlines, so the gates and tie rules become masks. The cells of one column depend on
// each other only through UP (descending disparity); the choice is rearranged so that this chain
// costs a compare, an and and a blend per cell:
//   X = DIAG if allowed and DIAG < LEFT, else LEFT (the strict sequential minimum of the two);
//   UP wins when allowed and UP < X, or UP == X with X from DIAG (DIAG needs strictly less).
// So UP wins exactly when allowed and S(k+1) < X + [X is DIAG] - P1.
#pragma once

#include "app/stereo_matcher_internal.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

typedef int32_t V8 __attribute__((vector_size(32)));
typedef uint8_t U8x8 __attribute__((vector_size(8), aligned(1)));
typedef int8_t S8x8 __attribute__((vector_size(8), aligned(1)));

static_assert(stereo::LANES == 8);

inline V8 Splat(int32_t v) {
    return V8{v, v, v, v, v, v, v, v};
}

inline V8 LoadBytes(const uint8_t* p) {
    return __builtin_convertvector(*(const U8x8*)p, V8);
}

// 0 / -1 per lane from 0x00 / 0xff bytes.
inline V8 LoadMaskBytes(const uint8_t* p) {
    return __builtin_convertvector(*(const S8x8*)p, V8);
}

inline V8 Max(V8 a, V8 b) {
    return a > b ? a : b;
}

// Bit i set when lane i of the mask is set.
inline unsigned MaskBits(V8 m) {
#if defined(__AVX2__)
    __m256i v;
    std::memcpy(&v, &m, sizeof v);
    return unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
#elif defined(__SSE2__)
    __m128i lo, hi;
    std::memcpy(&lo, &m, sizeof lo);
    std::memcpy(&hi, reinterpret_cast<const char*>(&m) + 16, sizeof hi);
    return unsigned(_mm_movemask_ps(_mm_castsi128_ps(lo))) |
           unsigned(_mm_movemask_ps(_mm_castsi128_ps(hi))) << 4;
#else
    unsigned bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= (unsigned(m[i]) >> 31) << i;
    }
    return bits;
#endif
}

// One column x >= 1. `lastColumn`: the dissimilarity of the last column is 0.
template <bool lastColumn>
inline void RunColumn(const stereo::RowGroupInput& in, V8* sums, V8* upMasks, uint16_t* steps,
                      int x) {
    using stereo::LANES;
    const int top = x + 1 < in.maxDisparity + 1 ? x + 1 : in.maxDisparity + 1;
    const V8 p1 = Splat(in.occlusionPenalty);
    const V8 p2 = Splat(in.matchReward);
    const V8 zero = Splat(0);
    const V8 left = LoadBytes(in.left + x * LANES);
    const V8 upAllowed = LoadMaskBytes(in.upAllowed + x * LANES);

    // The cell above the top one is a border cell: BIG, and never DIAG.
    V8 sumAbove = sums[top + 1];
    V8 upAbove = zero;
    V8 diagCandidateAbove = zero;
    V8 sumPrev = sums[top]; // sum(k, x - 1)
    for (int k = top; k >= 1; --k) {
        const int xr = x - (k - 1);
        const V8 sumPrevBelow = sums[k - 1]; // sum(k - 1, x - 1)
        const V8 leftCost = sumPrev - p2;
        const V8 diagCost = sumPrevBelow + p1;
        const V8 diagAllowed = LoadMaskBytes(in.diagAllowed + xr * LANES) & ~upMasks[k - 1];
        const V8 diagCandidate = (leftCost > diagCost) & diagAllowed;
        const V8 best = diagCandidate ? diagCost : leftCost;
        const V8 upThreshold = best - diagCandidate - p1;

        V8 cost = zero;
        if (!lastColumn) {
            const V8 rmin = LoadBytes(in.rmin + xr * LANES);
            const V8 rmax = LoadBytes(in.rmax + xr * LANES);
            cost = Max(Max(left - rmax, rmin - left), zero);
        }

        const V8 upGate = (upAllowed & ~diagCandidateAbove) | upAbove;
        const V8 up = (sumAbove < upThreshold) & upGate;
        const V8 sum = up ? sumAbove + (p1 + cost) : best + cost;
        sums[k] = sum;
        upMasks[k] = up;
        steps[k] = uint16_t(MaskBits(up) | MaskBits(diagCandidate & ~up) << 8);

        sumAbove = sum;
        upAbove = up;
        diagCandidateAbove = diagCandidate;
        sumPrev = sumPrevBelow;
    }
}

inline void RunRowGroup(const stereo::RowGroupInput& in, const stereo::RowGroupTables& tables) {
    const int kMax = in.maxDisparity + 2;
    V8* sums = reinterpret_cast<V8*>(tables.sums);
    V8* upMasks = reinterpret_cast<V8*>(tables.upMasks);
    // Column 0 as the table is initialised: border rows BIG/LEFT, the diagonal cells (k, k - 2)
    // BIG/UP (still untouched when their column comes), and (1, 0) = 0/LEFT. The step of the
    // border row k = D + 2 is never read as UP by a gate, so it stays LEFT here.
    for (int k = 0; k <= kMax; ++k) {
        sums[k] = Splat(stereo::BIG);
        upMasks[k] = Splat(k >= 2 && k < kMax ? -1 : 0);
    }
    sums[1] = Splat(0);
    const int stride = in.maxDisparity + 2;
    for (int x = 1; x < in.width - 1; ++x) {
        RunColumn<false>(in, sums, upMasks, tables.steps + size_t(x) * stride, x);
    }
    RunColumn<true>(in, sums, upMasks, tables.steps + size_t(in.width - 1) * stride, in.width - 1);
}

} // namespace
