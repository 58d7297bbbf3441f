#include "platform/gdi/halftone.h"

#include "platform/gdi/pixel_rows.h"
#include "platform/gdi/row_store.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::gdi {

namespace {

// The passes read 32-bit pixels as their bytes B, G, R, unused.
static_assert(std::endian::native == std::endian::little);

// Both passes take their taps two at a time: with two values and two weights interleaved as
// 16-bit pairs, one multiply-add instruction gives four sums. Between the passes values are
// kept as 8.7 fixed point, so that values and weights (at most FILTER_ONE = 2^14) fit signed
// 16 bits and every sum fits 31 bits.
constexpr int MID_SHIFT = FILTER_SHIFT - 7;
constexpr int OUT_SHIFT = FILTER_SHIFT + 7;

std::int32_t PackWeights(int a, int b) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(b) << 16) |
                                     static_cast<std::uint16_t>(a));
}

// Vertical pass, one or two source rows (b with weight 0 when there is one): the first step
// of a destination row overwrites the sums, the last one also narrows them for the
// horizontal pass.
template <bool FIRST, bool LAST>
void VerticalStep(std::int32_t* acc, std::int16_t* narrow, const std::uint8_t* a,
                  const std::uint8_t* b, int wa, int wb, int n) {
    int q = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = _mm_set1_epi32(PackWeights(wa, wb));
    const __m128i round = _mm_set1_epi32(1 << (MID_SHIFT - 1));
    for (; q + 16 <= n; q += 16) {
        const __m128i ra = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + q));
        const __m128i rb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + q));
        const __m128i alo = _mm_unpacklo_epi8(ra, zero);
        const __m128i ahi = _mm_unpackhi_epi8(ra, zero);
        const __m128i blo = _mm_unpacklo_epi8(rb, zero);
        const __m128i bhi = _mm_unpackhi_epi8(rb, zero);
        __m128i s[4] = {_mm_madd_epi16(_mm_unpacklo_epi16(alo, blo), w),
                        _mm_madd_epi16(_mm_unpackhi_epi16(alo, blo), w),
                        _mm_madd_epi16(_mm_unpacklo_epi16(ahi, bhi), w),
                        _mm_madd_epi16(_mm_unpackhi_epi16(ahi, bhi), w)};
        auto* sums = reinterpret_cast<__m128i*>(acc + q);
        for (int i = 0; i < 4; ++i) {
            if (!FIRST) {
                s[i] = _mm_add_epi32(s[i], _mm_loadu_si128(sums + i));
            }
            if (!LAST) {
                _mm_storeu_si128(sums + i, s[i]);
            } else {
                s[i] = _mm_srai_epi32(_mm_add_epi32(s[i], round), MID_SHIFT);
            }
        }
        if (LAST) {
            auto* out = reinterpret_cast<__m128i*>(narrow + q);
            _mm_storeu_si128(out, _mm_packs_epi32(s[0], s[1]));
            _mm_storeu_si128(out + 1, _mm_packs_epi32(s[2], s[3]));
        }
    }
#endif
    for (; q < n; ++q) {
        std::int32_t s = wa * a[q] + wb * b[q];
        if (!FIRST) {
            s += acc[q];
        }
        if (LAST) {
            narrow[q] = static_cast<std::int16_t>((s + (1 << (MID_SHIFT - 1))) >> MID_SHIFT);
        } else {
            acc[q] = s;
        }
    }
}

// The horizontal taps of every destination pixel, paired, as element offsets into the
// narrowed row and packed weights.
struct TapPair {
    int a;
    int b;
    std::int32_t weights;
};

void PairTaps(const AxisTaps& taps, int count, std::vector<TapPair>* pairs,
              std::vector<int>* start) {
    start->assign(static_cast<std::size_t>(count) + 1, 0);
    for (int i = 0; i < count; ++i) {
        (*start)[i] = static_cast<int>(pairs->size());
        for (int t = taps.offset[i]; t < taps.offset[i + 1]; t += 2) {
            const int a = 4 * (taps.coords[t] - taps.minCoord);
            const bool single = t + 1 >= taps.offset[i + 1];
            const int b = single ? a : 4 * (taps.coords[t + 1] - taps.minCoord);
            pairs->push_back(
                {a, b, PackWeights(taps.weights[t], single ? 0 : taps.weights[t + 1])});
        }
    }
    (*start)[count] = static_cast<int>(pairs->size());
}

void HorizontalPass(std::uint32_t* out, const std::int16_t* v, const std::vector<TapPair>& pairs,
                    const std::vector<int>& start, int count) {
    for (int i = 0; i < count; ++i) {
#if defined(__SSE2__)
        __m128i sum = _mm_set1_epi32(1 << (OUT_SHIFT - 1));
        for (int p = start[i]; p < start[i + 1]; ++p) {
            const TapPair& pair = pairs[p];
            const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + pair.a));
            const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + pair.b));
            sum = _mm_add_epi32(
                sum, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), _mm_set1_epi32(pair.weights)));
        }
        sum = _mm_srai_epi32(sum, OUT_SHIFT);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sum, sum), sum);
        out[i] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu;
#else
        std::int32_t sum[3] = {1 << (OUT_SHIFT - 1), 1 << (OUT_SHIFT - 1), 1 << (OUT_SHIFT - 1)};
        for (int p = start[i]; p < start[i + 1]; ++p) {
            const TapPair& pair = pairs[p];
            const std::int32_t wa = static_cast<std::int16_t>(pair.weights & 0xFFFF);
            const std::int32_t wb = pair.weights >> 16;
            for (int c = 0; c < 3; ++c) {
                sum[c] += wa * v[pair.a + c] + wb * v[pair.b + c];
            }
        }
        std::uint32_t pixel = 0;
        for (int c = 0; c < 3; ++c) {
            pixel |= static_cast<std::uint32_t>(std::clamp(sum[c] >> OUT_SHIFT, 0, 255)) << (8 * c);
        }
        out[i] = pixel;
#endif
    }
}

} // namespace

void HalftoneRows(const PixelBuffer& dst, const PixelBuffer& src, const AxisMap& xs,
                  const AxisMap& ys, std::uint8_t rop3, const BlitParams& params) {
    const AxisTaps xt = FilterAxis(xs, params.dstX, params.srcX, src.width);
    const AxisTaps yt = FilterAxis(ys, params.dstY, params.srcY, src.height);
    std::vector<TapPair> pairs;
    std::vector<int> pairStart;
    PairTaps(xt, xs.count, &pairs, &pairStart);
    const int minX = xt.minCoord;
    const int span = xt.maxCoord - xt.minCoord + 1;
    const int channels = 4 * span;
    std::vector<std::int32_t> acc(channels);
    std::vector<std::int16_t> narrow(channels);
    // 8- and 24-bit sources are converted row by row; a destination row reads at most a few.
    const bool direct = src.bitsPerPixel == 32;
    std::vector<std::uint32_t> convertedA(direct ? 0 : span);
    std::vector<std::uint32_t> convertedB(direct ? 0 : span);
    std::vector<std::uint32_t> out(xs.count);
    std::uint32_t lut[256];
    if (src.bitsPerPixel == 8) {
        BuildColorLut(src, lut);
    }
    auto rowBytes = [&](int y, std::vector<std::uint32_t>& converted) -> const std::uint8_t* {
        if (direct) {
            return src.Row(y) + 4 * static_cast<std::ptrdiff_t>(minX);
        }
        ReadRgbRow(src, y, minX, span, converted.data(), lut);
        return reinterpret_cast<const std::uint8_t*>(converted.data());
    };
    RowStore store(dst, rop3, params.pattern);
    for (int k = 0; k < ys.count; ++k) {
        const int end = yt.offset[k + 1];
        for (int t = yt.offset[k]; t < end; t += 2) {
            const bool first = t == yt.offset[k];
            const bool last = t + 2 >= end;
            const std::uint8_t* a = rowBytes(yt.coords[t], convertedA);
            const std::uint8_t* b = t + 1 < end ? rowBytes(yt.coords[t + 1], convertedB) : a;
            const int wa = yt.weights[t];
            const int wb = t + 1 < end ? yt.weights[t + 1] : 0;
            if (first && last) {
                VerticalStep<true, true>(acc.data(), narrow.data(), a, b, wa, wb, channels);
            } else if (first) {
                VerticalStep<true, false>(acc.data(), narrow.data(), a, b, wa, wb, channels);
            } else if (last) {
                VerticalStep<false, true>(acc.data(), narrow.data(), a, b, wa, wb, channels);
            } else {
                VerticalStep<false, false>(acc.data(), narrow.data(), a, b, wa, wb, channels);
            }
        }
        HorizontalPass(out.data(), narrow.data(), pairs, pairStart, xs.count);
        store.StoreRgb(ys.first + k, xs.first, xs.count, out.data());
    }
}

} // namespace platform::gdi
