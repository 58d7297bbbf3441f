// Per-scanline parts of the matcher outside the dynamic programme: the right-image bounds, the
// edge flags, the transposition of scanlines into lanes and the backtracking of a finished row
// group.
#include "stereo/stereo_matcher_internal.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace stereo {

// Written as plain loops over bytes so that the compiler vectorizes them.
void RightBounds(const uint8_t* right, int width, uint8_t* rmin, uint8_t* rmax) {
    {
        const int a = right[0];
        const int after = (a + right[1]) / 2;
        rmin[0] = uint8_t(std::min(a, after));
        rmax[0] = uint8_t(std::max(a, after));
    }
    for (int r = 1; r <= width - 2; ++r) {
        const uint8_t a = right[r];
        // floor((p + q) / 2) without widening.
        const uint8_t before = uint8_t((right[r - 1] & a) + ((right[r - 1] ^ a) >> 1));
        const uint8_t after = uint8_t((a & right[r + 1]) + ((a ^ right[r + 1]) >> 1));
        rmin[r] = std::min(std::min(before, a), after);
        rmax[r] = std::max(std::max(before, a), after);
    }
    rmin[width - 1] = rmin[width - 2];
    rmax[width - 1] = rmax[width - 2];
}

void EdgeFlags(const uint8_t* left, const uint8_t* right, int width, uint8_t* edges) {
    std::fill(edges, edges + width, uint8_t(0));
    for (int x = 3; x <= width - 5; ++x) {
        const uint8_t l0 = left[x - 3], l1 = left[x - 2], l2 = left[x - 1];
        const uint8_t r0 = right[x + 1], r1 = right[x + 2], r2 = right[x + 3];
        const uint8_t leftRange =
            uint8_t(std::max(std::max(l0, l1), l2) - std::min(std::min(l0, l1), l2));
        const uint8_t rightRange =
            uint8_t(std::max(std::max(r0, r1), r2) - std::min(std::min(r0, r1), r2));
        edges[x] = uint8_t((leftRange >= 5 ? EDGE_LEFT : 0) | (rightRange >= 5 ? EDGE_RIGHT : 0));
    }
    // Paths may leave the left border only by DIAG and reach the right border only by UP; at
    // small widths the right border wins.
    for (int x = 0; x < 3 && x < width; ++x) {
        edges[x] = EDGE_RIGHT;
    }
    for (int x = std::max(width - 3, 0); x < width; ++x) {
        edges[x] = EDGE_LEFT;
    }
}

namespace {

#if defined(__SSE2__)
// A 16 x 16 tile of bytes, transposed in four rounds of interleaving.
void TransposeTile(const uint8_t* src, size_t srcStride, uint8_t* dst, size_t dstStride) {
    __m128i a[16], b[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * srcStride));
    }
    // Byte pairs of rows 2i and 2i + 1: columns 0-7 in b[i], 8-15 in b[i + 8].
    for (int i = 0; i < 8; ++i) {
        b[i] = _mm_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
        b[i + 8] = _mm_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
    }
    // Four rows per 32-bit unit: a[q * 4 + i] holds rows 4i-4i+3 of columns 4q-4q+3.
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < 4; ++i) {
            const __m128i lo = b[half * 8 + 2 * i], hi = b[half * 8 + 2 * i + 1];
            a[half * 8 + i] = _mm_unpacklo_epi16(lo, hi);
            a[half * 8 + 4 + i] = _mm_unpackhi_epi16(lo, hi);
        }
    }
    for (int q = 0; q < 4; ++q) {
        const __m128i* u = a + 4 * q;
        // Eight rows per 64-bit unit, then whole columns.
        const __m128i top01 = _mm_unpacklo_epi32(u[0], u[1]),
                      top23 = _mm_unpackhi_epi32(u[0], u[1]);
        const __m128i bottom01 = _mm_unpacklo_epi32(u[2], u[3]),
                      bottom23 = _mm_unpackhi_epi32(u[2], u[3]);
        uint8_t* out = dst + size_t(4 * q) * dstStride;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi64(top01, bottom01));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + dstStride),
                         _mm_unpackhi_epi64(top01, bottom01));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * dstStride),
                         _mm_unpacklo_epi64(top23, bottom23));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * dstStride),
                         _mm_unpackhi_epi64(top23, bottom23));
    }
}
#endif

} // namespace

void TransposeBytes(const uint8_t* src, size_t srcStride, int rows, int cols, uint8_t* dst,
                    size_t dstStride) {
    int r0 = 0;
#if defined(__SSE2__)
    for (; r0 + 16 <= rows; r0 += 16) {
        int c0 = 0;
        for (; c0 + 16 <= cols; c0 += 16) {
            TransposeTile(src + size_t(r0) * srcStride + c0, srcStride,
                          dst + size_t(c0) * dstStride + r0, dstStride);
        }
        for (; c0 < cols; ++c0) {
            for (int r = r0; r < r0 + 16; ++r) {
                dst[size_t(c0) * dstStride + r] = src[size_t(r) * srcStride + c0];
            }
        }
    }
#endif
    for (; r0 < rows; ++r0) {
        for (int c = 0; c < cols; ++c) {
            dst[size_t(c) * dstStride + r0] = src[size_t(r0) * srcStride + c];
        }
    }
}

namespace {

// The step of any cell of the table, including the border cells that the dynamic programme only
// initialises: rows 0 and D + 2 LEFT except (D + 2, D), the diagonal (k, k - 2) UP, (1, 0) LEFT.
// Cells beyond the diagonal are never reached by a path; they read as LEFT.
[[gnu::always_inline]] inline int StepAt(const RowGroupTables& tables, int maxDisparity, int lane,
                                         int k, int x) {
    const int kMax = maxDisparity + 2;
    if (k >= 1 && k <= maxDisparity + 1 && x >= 1 && k <= x + 1) {
        const int maskBytes = tables.lanes / 8;
        const uint8_t* bits =
            tables.steps + 2 * (size_t(x) * (maxDisparity + 2) + k) * maskBytes + lane / 8;
        if (bits[0] >> lane % 8 & 1) {
            return STEP_UP;
        }
        return bits[maskBytes] >> lane % 8 & 1 ? STEP_DIAG : STEP_LEFT;
    }
    if (k >= 2 && k <= kMax && x == k - 2) {
        return STEP_UP;
    }
    return STEP_LEFT;
}

} // namespace

void Backtrack(const RowGroupTables& tables, int width, int maxDisparity, int lane, uint8_t* out) {
    const int kMax = maxDisparity + 2;
    int k = 1;
    for (int i = 2; i <= maxDisparity + 1; ++i) {
        if (tables.sums[i * tables.lanes + lane] < tables.sums[k * tables.lanes + lane]) {
            k = i;
        }
    }
    out[0] = 0;
    const size_t maskBytes = size_t(tables.lanes / 8);
    const uint8_t* laneBits = tables.steps + lane / 8;
    const int bit = lane % 8;
    // The bounds on k and x are never met by a path through reachable cells; they keep a broken
    // invariant from walking off the table.
    const size_t columnStride = 2 * size_t(kMax) * maskBytes;
    for (int x = width - 1; x >= 1; --x) {
        // Most cells of a path are LEFT: runs of them go at one look at both masks of each cell,
        // walking the table a column at a time.
        if (k <= maxDisparity + 1) {
            const uint8_t* cell = laneBits + 2 * (size_t(x) * kMax + k) * maskBytes;
            const int last = std::max(k - 1, 1); // the run stays where k <= x + 1
            while (x > last && ((cell[0] | cell[maskBytes]) >> bit & 1) == 0) {
                out[x] = uint8_t(k - 1);
                --x;
                cell -= columnStride;
            }
        }
        out[x] = uint8_t(k - 1);
        if (k <= maxDisparity + 1 && k <= x + 1) {
            const uint8_t* cell = laneBits + 2 * (size_t(x) * kMax + k) * maskBytes;
            if (((cell[0] | cell[maskBytes]) >> bit & 1) == 0) {
                continue;
            }
        }
        while (k < kMax && StepAt(tables, maxDisparity, lane, k, x) == STEP_UP) {
            ++k;
        }
        if (StepAt(tables, maxDisparity, lane, k, x) == STEP_DIAG) {
            const int start = x;
            while (x > 0 && StepAt(tables, maxDisparity, lane, k, x) == STEP_DIAG) {
                --k;
                --x;
            }
            for (int i = x; i < start; ++i) {
                out[i] = uint8_t(k - 1);
            }
        }
    }
}

} // namespace stereo
