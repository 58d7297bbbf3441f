// The dynamic programme of one row group, written once with GCC vector extensions and compiled
// twice: with AVX2 and for the baseline instruction set. Everything here has internal linkage so
// that the two compilations never meet at link time.
//
// Lanes are scanlines, so the gates and tie rules become masks. The cells of one column depend on
// each other only through UP (descending disparity); the choice is rearranged so that this chain
// costs a compare, an and and a blend per cell:
//   X = DIAG if allowed and DIAG < LEFT, else LEFT (the strict sequential minimum of the two);
//   UP wins when allowed and UP < X, or UP == X with X from DIAG (DIAG needs strictly less).
// So UP wins exactly when allowed and S(k+1) + P1 < X + [X is DIAG]. The table keeps every sum
// plus P1, which turns UP and DIAG into plain table values; a uniform offset changes no choice
// and no minimum.
#pragma once

#include "stereo/stereo_matcher_internal.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

typedef int32_t V8 __attribute__((vector_size(32)));

static_assert(stereo::LANES == 8);

inline V8 Splat(int32_t v) {
    return V8{v, v, v, v, v, v, v, v};
}

inline V8 Load(const int32_t* p) {
    return *reinterpret_cast<const V8*>(p);
}

inline V8 Max(V8 a, V8 b) {
    return a > b ? a : b;
}

// a where the mask is set, else b.
inline V8 Select(V8 mask, V8 a, V8 b) {
#if defined(__AVX2__)
    __m256i m, va, vb;
    std::memcpy(&m, &mask, sizeof m);
    std::memcpy(&va, &a, sizeof va);
    std::memcpy(&vb, &b, sizeof vb);
    const __m256i r = _mm256_blendv_epi8(vb, va, m);
    V8 out;
    std::memcpy(&out, &r, sizeof out);
    return out;
#else
    return (mask & a) | (~mask & b);
#endif
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
inline void RunColumn(const stereo::RowGroupInput& in, V8* sums, V8* upMasks, uint8_t* steps,
                      int x) {
    using stereo::LANES;
    const int top = x + 1 < in.maxDisparity + 1 ? x + 1 : in.maxDisparity + 1;
    const V8 p1 = Splat(in.occlusionPenalty);
    const V8 p1p2 = Splat(in.occlusionPenalty + in.matchReward);
    const V8 zero = Splat(0);
    const V8 left = Load(in.left + x * LANES);
    const V8 upAllowed = Load(in.upAllowed + x * LANES);

    // The cell above the top one is a border cell: BIG, and never DIAG.
    V8 upCostAbove = sums[top + 1]; // sum(k + 1, x) + P1
    V8 upAbove = zero;
    V8 diagCandidateAbove = zero;
    V8 sumPrev = sums[top]; // sum(k, x - 1) + P1

    // One cell; returns its step bits, the UP lanes in the low byte and the DIAG candidates in
    // the high one.
    auto cell = [&](int k) -> uint64_t {
        const int xr = x - (k - 1);
        const V8 diagCost = sums[k - 1]; // sum(k - 1, x - 1) + P1
        const V8 leftCost = sumPrev - p1p2;
        const V8 diagAllowed = Load(in.diagAllowed + xr * LANES) & ~upMasks[k - 1];
        const V8 diagCandidate = (leftCost > diagCost) & diagAllowed;
        const V8 best = Select(diagCandidate, diagCost, leftCost);
        const V8 upThreshold = best - diagCandidate;

        // The dissimilarity plus P1, from bounds that already hold P1.
        V8 cost = p1;
        if (!lastColumn) {
            const V8 rmin = Load(in.rminPlusP1 + xr * LANES);
            const V8 rmax = Load(in.rmaxMinusP1 + xr * LANES);
            cost = Max(Max(left - rmax, rmin - left), p1);
        }

        // UP is gated off where the cell above took DIAG, that is DIAG beat LEFT there and UP
        // did not win.
        const V8 upGate = (upAllowed & ~diagCandidateAbove) | upAbove;
        const V8 up = (upCostAbove < upThreshold) & upGate;
        const V8 sum = Select(up, upCostAbove, best) + cost;
        sums[k] = sum;
        upMasks[k] = up;

        upCostAbove = sum;
        upAbove = up;
        diagCandidateAbove = diagCandidate;
        sumPrev = diagCost;
        return MaskBits(up) | MaskBits(diagCandidate) << 8;
    };

    // The step bytes of four cells go out in one store: stores, not arithmetic, bound the loop.
    int k = top;
    if constexpr (std::endian::native == std::endian::little) {
        for (; k >= 4; k -= 4) {
            uint64_t word = cell(k) << 48;
            word |= cell(k - 1) << 32;
            word |= cell(k - 2) << 16;
            word |= cell(k - 3);
            std::memcpy(steps + 2 * (k - 3), &word, sizeof word);
        }
    }
    for (; k >= 1; --k) {
        const uint64_t bits = cell(k);
        steps[2 * k] = uint8_t(bits);
        steps[2 * k + 1] = uint8_t(bits >> 8);
    }
}

inline void RunRowGroup(const stereo::RowGroupInput& in, const stereo::RowGroupTables& tables) {
    // in.lanes and tables.lanes are LANES here.
    const int kMax = in.maxDisparity + 2;
    V8* sums = reinterpret_cast<V8*>(tables.sums);
    V8* upMasks = reinterpret_cast<V8*>(tables.upMasks);
    // Column 0 as the table is initialised: border rows BIG/LEFT, the diagonal cells (k, k - 2)
    // BIG/UP (still untouched when their column comes), and (1, 0) = 0/LEFT. The step of the
    // border row k = D + 2 is never read as UP by a gate, so it stays LEFT here.
    const int p1 = in.occlusionPenalty;
    for (int k = 0; k <= kMax; ++k) {
        sums[k] = Splat(stereo::BIG + p1);
        upMasks[k] = Splat(k >= 2 && k < kMax ? -1 : 0);
    }
    sums[1] = Splat(p1);
    const size_t stride = 2 * size_t(in.maxDisparity + 2);
    for (int x = 1; x < in.width - 1; ++x) {
        RunColumn<false>(in, sums, upMasks, tables.steps + x * stride, x);
    }
    RunColumn<true>(in, sums, upMasks, tables.steps + (in.width - 1) * stride, in.width - 1);
}

} // namespace
