#include "platform/gdi/axis_map.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace platform::gdi {

namespace {

struct Direction {
    std::int64_t origin;
    std::int64_t length;
    int sign;
};

Direction DirectionOf(Span span) {
    return {span.origin, span.extent < 0 ? -std::int64_t{span.extent} : span.extent,
            span.extent < 0 ? -1 : 1};
}

std::int64_t CoordAt(const Direction& d, std::int64_t i) {
    return d.origin + d.sign * i;
}

// Indexes i of a span whose coordinates fall inside 0 .. size - 1, as [lo, hi).
void IndexRangeInside(const Direction& d, int size, std::int64_t* lo, std::int64_t* hi) {
    if (d.sign > 0) {
        *lo = std::max<std::int64_t>(0, -d.origin);
        *hi = std::min<std::int64_t>(d.length, size - d.origin);
    } else {
        *lo = std::max<std::int64_t>(0, d.origin - size + 1);
        *hi = std::min<std::int64_t>(d.length, d.origin + 1);
    }
}

} // namespace

AxisMap MapAxis(Span dstSpan, int dstSize, Span srcSpan, int srcSize) {
    AxisMap map;
    const Direction dst = DirectionOf(dstSpan);
    const Direction src = DirectionOf(srcSpan);
    if (dst.length == 0 || src.length == 0 || dstSize <= 0 || srcSize <= 0) {
        return map;
    }
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    IndexRangeInside(dst, dstSize, &lo, &hi);
    std::int64_t first = -1;
    std::int64_t last = -1;
    std::vector<int> sources;
    for (std::int64_t i = lo; i < hi; ++i) {
        // 128 bits: i and the source length may both approach 2^31.
        const auto j = static_cast<std::int64_t>((static_cast<__int128>(2 * i + 1) * src.length) /
                                                 (2 * dst.length));
        const std::int64_t s = CoordAt(src, j);
        if (s < 0 || s >= srcSize) {
            if (first >= 0) {
                break; // the source coordinate only moves further out from here on
            }
            continue;
        }
        if (first < 0) {
            first = i;
        }
        last = i;
        sources.push_back(static_cast<int>(s));
    }
    if (first < 0) {
        return map;
    }
    map.count = static_cast<int>(last - first + 1);
    if (dst.sign > 0) {
        map.first = static_cast<int>(CoordAt(dst, first));
        map.nearest = std::move(sources);
    } else {
        map.first = static_cast<int>(CoordAt(dst, last));
        map.nearest.assign(sources.rbegin(), sources.rend());
    }
    return map;
}

AxisTaps FilterAxis(const AxisMap& map, Span dstSpan, Span srcSpan, int srcSize) {
    AxisTaps taps;
    const Direction dst = DirectionOf(dstSpan);
    const Direction src = DirectionOf(srcSpan);
    std::int64_t jLo = 0;
    std::int64_t jHi = 0;
    IndexRangeInside(src, srcSize, &jLo, &jHi);
    const double scale = static_cast<double>(src.length) / static_cast<double>(dst.length);
    taps.offset.reserve(map.count + 1);
    taps.minCoord = srcSize;
    taps.maxCoord = -1;
    std::vector<double> raw;
    std::vector<int> rawCoords;
    for (int k = 0; k < map.count; ++k) {
        const std::int64_t d = map.first + k;
        const std::int64_t i = dst.sign > 0 ? d - dst.origin : dst.origin - d;
        raw.clear();
        rawCoords.clear();
        if (src.length == dst.length) {
            raw.push_back(1.0);
            rawCoords.push_back(static_cast<int>(CoordAt(src, i)));
        } else if (src.length > dst.length) {
            const double lo = static_cast<double>(i) * scale;
            const double hi = static_cast<double>(i + 1) * scale;
            const std::int64_t from = std::max(static_cast<std::int64_t>(std::floor(lo)), jLo);
            const std::int64_t to = std::min(static_cast<std::int64_t>(std::ceil(hi)), jHi);
            for (std::int64_t j = from; j < to; ++j) {
                const double w =
                    std::min(hi, static_cast<double>(j + 1)) - std::max(lo, static_cast<double>(j));
                if (w > 0) {
                    raw.push_back(w);
                    rawCoords.push_back(static_cast<int>(CoordAt(src, j)));
                }
            }
        } else {
            double c = (static_cast<double>(i) + 0.5) * scale - 0.5;
            c = std::clamp(c, 0.0, static_cast<double>(src.length - 1));
            const std::int64_t j0 = static_cast<std::int64_t>(std::floor(c));
            const double f = c - static_cast<double>(j0);
            const std::int64_t j1 = f > 0 ? j0 + 1 : j0;
            raw.push_back(1.0 - f);
            rawCoords.push_back(static_cast<int>(CoordAt(src, std::clamp(j0, jLo, jHi - 1))));
            if (j1 != j0) {
                raw.push_back(f);
                rawCoords.push_back(static_cast<int>(CoordAt(src, std::clamp(j1, jLo, jHi - 1))));
            }
        }
        if (raw.empty()) { // cannot happen for a mapped pixel, but keep the nearest sample
            raw.push_back(1.0);
            rawCoords.push_back(map.nearest[k]);
        }
        double total = 0;
        for (double w : raw) {
            total += w;
        }
        taps.offset.push_back(static_cast<int>(taps.coords.size()));
        int sum = 0;
        int largest = -1;
        for (std::size_t t = 0; t < raw.size(); ++t) {
            const int w = static_cast<int>(std::lround(raw[t] / total * FILTER_ONE));
            if (w <= 0) {
                continue;
            }
            if (largest < 0 || w > taps.weights[largest]) {
                largest = static_cast<int>(taps.coords.size());
            }
            taps.coords.push_back(rawCoords[t]);
            taps.weights.push_back(w);
            sum += w;
        }
        if (largest < 0) { // every weight rounded to zero
            largest = static_cast<int>(taps.coords.size());
            taps.coords.push_back(map.nearest[k]);
            taps.weights.push_back(0);
        }
        for (std::size_t t = taps.offset.back(); t < taps.coords.size(); ++t) {
            taps.minCoord = std::min(taps.minCoord, taps.coords[t]);
            taps.maxCoord = std::max(taps.maxCoord, taps.coords[t]);
        }
        // Rounding leftovers go to the heaviest tap, so flat areas stay exactly flat.
        taps.weights[largest] += FILTER_ONE - sum;
    }
    taps.offset.push_back(static_cast<int>(taps.coords.size()));
    return taps;
}

} // namespace platform::gdi
