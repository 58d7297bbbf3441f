// The dynamic programme of a row group of WIDE_LANES scanlines with AVX-512 (this file is built
// with -mavx512f -mavx512bw -mavx512vl on x86-64; Avx512Supported() guards its use). It makes the
// same choices as the kernel in stereo_matcher_dp_kernel.h, with the gates and the step bits held
// in mask registers: a compare under a mask is the gated test, and the masks are the step bits.
//
// The cells of a column form a dependency chain (UP) several instructions deep, so the group is
// two independent halves of 16 lanes whose chains the processor runs side by side.
#include "stereo/stereo_matcher_internal.h"

#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VL__)
#include <immintrin.h>

#include <algorithm>

namespace stereo {

namespace {

constexpr int HALF = 16;
static_assert(WIDE_LANES == 2 * HALF);

// The zero-masked form: GCC 12 warns about the undefined source of the plain one.
inline __m512i Max(__m512i a, __m512i b) {
    return _mm512_maskz_max_epi32(0xFFFF, a, b);
}

// The running state of one half while a column is walked from the top cell down.
struct Chain {
    __m512i upCostAbove; // sum(k + 1, x) + P1
    __m512i sumPrev;     // sum(k, x - 1) + P1
    __mmask16 upAbove;
    __mmask16 diagAbove;
};

struct Constants {
    __m512i p1, p1p2, one;
};

// One cell of one half. Each cell's steps are four 16-bit masks: UP of lanes 0-15 and 16-31,
// then DIAG-beat-LEFT of lanes 0-15 and 16-31; `steps` and `before` point at this half's UP mask
// of cell 0 in this column and in the column before.
template <bool lastColumn>
[[gnu::always_inline]] inline void
Cell(Chain& c, const Constants& n, __m512i* sums, uint16_t* steps, const uint16_t* before, int k,
     __m128i dissimilarity, __mmask16 upAllowed, __mmask16 diagAllowedHere) {
    const __m512i diagCost = sums[2 * (k - 1)];
    const __m512i leftCost = _mm512_sub_epi32(c.sumPrev, n.p1p2);
    const __mmask16 diagAllowed = __mmask16(diagAllowedHere & ~before[4 * (k - 1)]);
    const __mmask16 diag = _mm512_mask_cmpgt_epi32_mask(diagAllowed, leftCost, diagCost);
    const __m512i best = _mm512_mask_blend_epi32(diag, leftCost, diagCost);
    // UP must beat LEFT strictly but only tie with DIAG (which needed strictly less).
    const __m512i upThreshold = _mm512_mask_add_epi32(best, diag, best, n.one);

    __m512i cost = n.p1;
    if (!lastColumn) {
        cost = _mm512_add_epi32(_mm512_maskz_cvtepu8_epi32(0xFFFF, dissimilarity), n.p1);
    }
    // Both candidate sums are formed before the choice, so that the chain from one cell to the
    // next is a compare and a blend.
    const __m512i bestSum = _mm512_add_epi32(best, cost);
    const __m512i upSum = _mm512_add_epi32(c.upCostAbove, cost);

    // UP is gated off where the cell above took DIAG.
    const __mmask16 upGate = __mmask16((upAllowed & ~c.diagAbove) | c.upAbove);
    const __mmask16 up = _mm512_mask_cmplt_epi32_mask(upGate, c.upCostAbove, upThreshold);
    const __m512i sum = _mm512_mask_blend_epi32(up, bestSum, upSum);
    sums[2 * k] = sum;
    steps[4 * k] = up;
    steps[4 * k + 2] = diag;

    c.upCostAbove = sum;
    c.upAbove = up;
    c.diagAbove = diag;
    c.sumPrev = diagCost;
}

// One column x >= 1; its cell 0 holds no step (LEFT) for the next column to read.
template <bool lastColumn>
void RunColumn(const RowGroupInput& in, const Constants& n, __m512i* sums, uint16_t* steps,
               const uint16_t* before, int x) {
    const int top = std::min(x + 1, in.maxDisparity + 1);
    const __m256i left = _mm256_load_si256(reinterpret_cast<const __m256i*>(in.leftBytes) + x);
    const uint32_t upAllowed = in.upBits[x];
    const uint32_t* const diagBits = in.diagBits;
    const auto* const rmin = reinterpret_cast<const __m256i*>(in.rminBytes);
    const auto* const rmax = reinterpret_cast<const __m256i*>(in.rmaxBytes);

    // The cell above the top one is a border cell: BIG, and never DIAG.
    Chain c0{sums[2 * (top + 1)], sums[2 * top], 0, 0};
    Chain c1{sums[2 * (top + 1) + 1], sums[2 * top + 1], 0, 0};
    for (int k = top; k >= 1; --k) {
        const int xr = x - (k - 1);
        // The dissimilarity of all 32 lanes in bytes: the distance of the left pixel from the
        // right pixel's bounds, one of the two saturated differences being 0.
        __m256i dissimilarity = _mm256_setzero_si256();
        if (!lastColumn) {
            const __m256i lo = _mm256_load_si256(rmin + xr);
            const __m256i hi = _mm256_load_si256(rmax + xr);
            dissimilarity = _mm256_max_epu8(_mm256_subs_epu8(left, hi), _mm256_subs_epu8(lo, left));
        }
        const uint32_t diagHere = diagBits[xr];
        Cell<lastColumn>(c0, n, sums, steps, before, k, _mm256_castsi256_si128(dissimilarity),
                         __mmask16(upAllowed), __mmask16(diagHere));
        Cell<lastColumn>(c1, n, sums + 1, steps + 1, before + 1, k,
                         _mm256_extracti128_si256(dissimilarity, 1), __mmask16(upAllowed >> 16),
                         __mmask16(diagHere >> 16));
    }
    std::fill(steps, steps + 4, uint16_t(0));
}

} // namespace

void RunRowGroupAvx512(const RowGroupInput& in, const RowGroupTables& tables) {
    const int kMax = in.maxDisparity + 2;
    // The sums hold the halves side by side: [2 * k + half]. The steps of each column also
    // serve the next one as the UP masks its DIAG gates read.
    auto* sums = reinterpret_cast<__m512i*>(tables.sums);
    auto* steps = reinterpret_cast<uint16_t*>(tables.steps);
    // Column 0 as the table is initialised; see the portable kernel. Column 1 reads the steps
    // of its cells 0 and 1 only, both LEFT.
    const int p1 = in.occlusionPenalty;
    for (int k = 0; k <= kMax; ++k) {
        sums[2 * k] = sums[2 * k + 1] = _mm512_set1_epi32(BIG + p1);
    }
    sums[2] = sums[3] = _mm512_set1_epi32(p1);
    std::fill(steps, steps + 8, uint16_t(0));
    const Constants n{_mm512_set1_epi32(p1), _mm512_set1_epi32(p1 + in.matchReward),
                      _mm512_set1_epi32(1)};
    const size_t stride = 4 * size_t(kMax);
    for (int x = 1; x < in.width - 1; ++x) {
        RunColumn<false>(in, n, sums, steps + x * stride, steps + (x - 1) * stride, x);
    }
    const int x = in.width - 1;
    RunColumn<true>(in, n, sums, steps + x * stride, steps + (x - 1) * stride, x);
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
