// The dynamic programme of a row group of WIDE_LANES scanlines with AVX-512 (this file is built
// with -mavx512f -mavx512bw -mavx512vl on x86-64; Avx512Supported() guards its use). It makes the
// same choices as the kernel in stereo_matcher_dp_kernel.h, with the gates and the step bits held
// in mask registers: a compare under a mask is the gated test, and the masks are the step bits.
//
// The cells of a column form a dependency chain (UP) several instructions deep, so the group is
// two independent halves of 16 lanes whose chains the processor runs side by side.
//
// The loop runs at the processor's instruction rate, so the table holds each sum with an offset
// that depends only on the cell, T(k, x) = S(k, x) + (k - 2x) P1. The candidates of a cell then
// become UP = T(k + 1, x), DIAG = T(k - 1, x - 1) and LEFT = T(k, x - 1) - 2 P1 - P2, and the new
// value is the chosen one plus the bare dissimilarity. All candidates of one cell carry the same
// offset, so every comparison, tie included, is the one made on the plain sums; the border cells
// are written with their offset too, so the table is the plain one shifted exactly. The argument
// check bounds (2W + D) |P1| by BIG / 2, which keeps every offset sum within int.
#include "stereo/stereo_matcher_internal.h"

#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VL__)
#include <immintrin.h>

#include <algorithm>

namespace stereo {

namespace {

constexpr int HALF = 16;
static_assert(WIDE_LANES == 2 * HALF);

// The running state of one half while a column is walked from the top cell down.
struct Chain {
    __m512i upCostAbove; // T(k + 1, x)
    __m512i sumPrev;     // T(k, x - 1)
    __mmask16 upAbove;
    __mmask16 diagAbove;
};

// The offset of cell (k, x), exact in 32 bits by the argument check.
inline int32_t Offset(int k, int x, int p1) {
    return int32_t((int64_t(k) - 2 * int64_t(x)) * p1);
}

// Straight into a mask register: GCC 12 loads through a general one otherwise.
inline __mmask16 LoadMask(const uint16_t* p) {
    __mmask16 m;
    asm("kmovw %1, %0" : "=k"(m) : "m"(*p));
    return m;
}

// One cell of one half. Each cell's steps are four 16-bit masks: UP of lanes 0-15 and 16-31,
// then DIAG-beat-LEFT of lanes 0-15 and 16-31; `steps` and `before` point at this half's UP mask
// of cell 0 in this column and in the column before.
[[gnu::always_inline]] inline void Cell(Chain& c, __m512i leftPenalty, __m512i* sums,
                                        uint16_t* steps, const uint16_t* before, int k,
                                        __m512i cost, __mmask16 upAllowed,
                                        __mmask16 diagAllowedHere) {
    const __m512i diagCost = sums[2 * (k - 1)];
    const __m512i leftCost = _mm512_sub_epi32(c.sumPrev, leftPenalty);
    const __mmask16 diagAllowed = _kandn_mask16(__mmask16(before[4 * (k - 1)]), diagAllowedHere);
    const __mmask16 diag = _mm512_mask_cmpgt_epi32_mask(diagAllowed, leftCost, diagCost);
    const __m512i best = _mm512_mask_blend_epi32(diag, leftCost, diagCost);
    // UP must beat LEFT strictly but only tie with DIAG (which needed strictly less).
    const __m512i upThreshold = _mm512_mask_sub_epi32(best, diag, best, _mm512_set1_epi32(-1));
    // The new value from either candidate; the chain from one cell to the next is then a compare
    // and a masked add.
    const __m512i bestSum = _mm512_add_epi32(best, cost);

    // UP is gated off where the cell above took DIAG.
    const __mmask16 upGate = _kor_mask16(_kandn_mask16(c.diagAbove, upAllowed), c.upAbove);
    const __mmask16 up = _mm512_mask_cmplt_epi32_mask(upGate, c.upCostAbove, upThreshold);
    const __m512i sum = _mm512_mask_add_epi32(bestSum, up, c.upCostAbove, cost);
    sums[2 * k] = sum;
    steps[4 * k] = up;
    steps[4 * k + 2] = diag;

    c.upCostAbove = sum;
    c.upAbove = up;
    c.diagAbove = diag;
    c.sumPrev = diagCost;
}

// The dissimilarities of cells k and k - 1 (right pixels xr and xr + 1) for all 32 lanes, as
// bytes: the distance of the left pixel from the right pixel's bounds, one of the two saturated
// differences being 0. The bounds of the two cells are adjacent, so one 64-byte vector serves both.
inline __m512i PairDissimilarity(__m512i left2, const uint8_t* rmin, const uint8_t* rmax) {
    const __m512i lo = _mm512_loadu_si512(rmin);
    const __m512i hi = _mm512_loadu_si512(rmax);
    return _mm512_max_epu8(_mm512_subs_epu8(left2, hi), _mm512_subs_epu8(lo, left2));
}

template <int i>
inline __m128i Quarter(__m512i v) {
    if constexpr (i == 0) {
        return __m128i(__builtin_shufflevector(__v8di(v), __v8di(v), 0, 1));
    } else {
        return _mm512_maskz_extracti32x4_epi32(0xF, v, i);
    }
}

// The zero-masked forms here and above: GCC 12 warns about the undefined source of the plain
// ones.
inline __m512i Widen(__m128i bytes) {
    return _mm512_maskz_cvtepu8_epi32(0xFFFF, bytes);
}

// One column x >= 1; its cell 0 holds no step (LEFT) for the next column to read.
template <bool lastColumn>
void RunColumn(const RowGroupInput& in, __m512i leftPenalty, __m512i* sums, uint16_t* steps,
               const uint16_t* before, int x) {
    const int p1 = in.occlusionPenalty;
    const int top = std::min(x + 1, in.maxDisparity + 1);
    // The border cells this column reads: row 0 of the column before (as DIAG of k = 1) and, once
    // the column is full height, row D + 2 of this column (as UP of its top cell). The diagonal
    // border cells (k, k - 2) keep the values written at the start.
    sums[0] = sums[1] = _mm512_set1_epi32(BIG + Offset(0, x - 1, p1));
    if (top == in.maxDisparity + 1) {
        sums[2 * (top + 1)] = sums[2 * (top + 1) + 1] =
            _mm512_set1_epi32(BIG + Offset(top + 1, x, p1));
    }
    // Local copies: the stores into the table could otherwise alias them.
    const __m256i left = _mm256_load_si256(reinterpret_cast<const __m256i*>(in.leftBytes) + x);
    const __m512i left2 = _mm512_maskz_broadcast_i64x4(0xFF, left);
    const __mmask16 up0 = __mmask16(in.upBits[2 * x]);
    const __mmask16 up1 = __mmask16(in.upBits[2 * x + 1]);
    const uint16_t* const diagBits = in.diagBits;
    const uint8_t* const rmin = in.rminBytes;
    const uint8_t* const rmax = in.rmaxBytes;

    // The cell above the top one is a border cell, never DIAG.
    Chain c0{sums[2 * (top + 1)], sums[2 * top], 0, 0};
    Chain c1{sums[2 * (top + 1) + 1], sums[2 * top + 1], 0, 0};
    auto both = [&](int k, __m512i cost0, __m512i cost1) __attribute__((always_inline)) {
        const uint16_t* diagHere = diagBits + 2 * size_t(x - (k - 1));
        Cell(c0, leftPenalty, sums, steps, before, k, cost0, up0, LoadMask(diagHere));
        Cell(c1, leftPenalty, sums + 1, steps + 1, before + 1, k, cost1, up1,
             LoadMask(diagHere + 1));
    };
    int k = top;
    // An odd cell first, so that the pairs end at k = 1 and no chain state outlives the loop.
    if (k & 1) {
        if (lastColumn) {
            both(k, _mm512_setzero_si512(), _mm512_setzero_si512());
        } else {
            const size_t xr = size_t(x - (k - 1)) * WIDE_LANES;
            const __m256i lo = _mm256_load_si256(reinterpret_cast<const __m256i*>(rmin + xr));
            const __m256i hi = _mm256_load_si256(reinterpret_cast<const __m256i*>(rmax + xr));
            const __m256i d =
                _mm256_max_epu8(_mm256_subs_epu8(left, hi), _mm256_subs_epu8(lo, left));
            both(k, Widen(_mm256_castsi256_si128(d)), Widen(_mm256_extracti128_si256(d, 1)));
        }
        --k;
    }
    // Two cells per pass: their bounds share one vector.
    for (; k >= 2; k -= 2) {
        if (lastColumn) {
            const __m512i zero = _mm512_setzero_si512();
            both(k, zero, zero);
            both(k - 1, zero, zero);
            continue;
        }
        const size_t xr = size_t(x - (k - 1)) * WIDE_LANES;
        const __m512i d = PairDissimilarity(left2, rmin + xr, rmax + xr);
        both(k, Widen(Quarter<0>(d)), Widen(Quarter<1>(d)));
        both(k - 1, Widen(Quarter<2>(d)), Widen(Quarter<3>(d)));
    }
    std::fill(steps, steps + 4, uint16_t(0));
}

} // namespace

void RunRowGroupAvx512(const RowGroupInput& in, const RowGroupTables& tables) {
    const int kMax = in.maxDisparity + 2;
    const int p1 = in.occlusionPenalty;
    // The sums hold the halves side by side: [2 * k + half]. The steps of each column also
    // serve the next one as the UP masks its DIAG gates read.
    auto* sums = reinterpret_cast<__m512i*>(tables.sums);
    auto* steps = reinterpret_cast<uint16_t*>(tables.steps);
    // Column 0 as the table is initialised; see the portable kernel. The diagonal border cells
    // (k, k - 2) are read only after their own column, where this is their value; (1, 0) is 0.
    // Column 1 reads the steps of its cells 0 and 1 only, both LEFT.
    for (int k = 2; k <= kMax; ++k) {
        sums[2 * k] = sums[2 * k + 1] = _mm512_set1_epi32(BIG + Offset(k, k - 2, p1));
    }
    sums[2] = sums[3] = _mm512_set1_epi32(Offset(1, 0, p1));
    std::fill(steps, steps + 8, uint16_t(0));
    const __m512i leftPenalty = _mm512_set1_epi32(2 * p1 + in.matchReward);
    const size_t stride = 4 * size_t(kMax);
    for (int x = 1; x < in.width - 1; ++x) {
        RunColumn<false>(in, leftPenalty, sums, steps + x * stride, steps + (x - 1) * stride, x);
    }
    const int x = in.width - 1;
    RunColumn<true>(in, leftPenalty, sums, steps + x * stride, steps + (x - 1) * stride, x);
    // The last column's sums as the other kernels leave them, S + P1, for the backtracking to
    // compare across disparities.
    for (int k = 1; k <= in.maxDisparity + 1; ++k) {
        const __m512i shift = _mm512_set1_epi32(Offset(k, x, p1) - p1);
        sums[2 * k] = _mm512_sub_epi32(sums[2 * k], shift);
        sums[2 * k + 1] = _mm512_sub_epi32(sums[2 * k + 1], shift);
    }
}

} // namespace stereo

#else

#include <cstdlib>

namespace stereo {

// Never chosen: Avx512Supported() is false where this file is built without AVX-512.
void RunRowGroupAvx512(const RowGroupInput&, const RowGroupTables&) {
    std::abort();
}

} // namespace stereo

#endif
