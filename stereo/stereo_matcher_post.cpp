// Propagation of reliable disparities across scanlines, on the finished raw map.
//
// The vertical steps run over blocks of columns: the coercion and the gradient flags row by row
// across the block (the columns in lock-step), the propagation column by column on column-major
// copies, so each column walk stays in cache. A column needs only its own map values and the
// vertical-gradient flags of itself and its two neighbours, so blocks are independent and
// recompute their one-column halo of flags.
#include "stereo/stereo_matcher_internal.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace stereo {

namespace {

constexpr int BLOCK_COLUMNS = 32;

// Length of the run of equal values each element belongs to.
void RunLengths(const uint8_t* values, int count, int* lengths) {
    int start = 0;
    for (int i = 1; i <= count; ++i) {
        if (i == count || values[i] != values[start]) {
            std::fill(lengths + start, lengths + i, i - start);
            start = i;
        }
    }
}

// Spreads every reliable disparity along one line until a blocking pixel. `blocked` marks the
// pixels with the line's gradient flag; `sources` is scratch of count bytes.
void Propagate(uint8_t* values, const int* reliability, const uint8_t* blocked, int count,
               const MatchParams& params, uint8_t* sources) {
    // A walk writes only above its source and below it up to the pixel where it stops, which is
    // where the scan goes on: whether a pixel not yet scanned is a source is known beforehand.
    const int moderatelyReliable = params.moderatelyReliable;
    for (int i = 0; i < count; ++i) {
        sources[i] =
            uint8_t((reliability[i] >= moderatelyReliable) & (blocked[i] == 0) & (values[i] != 0));
    }
    int y = 0;
    while (y < count) {
        const void* next = std::memchr(sources + y, 1, size_t(count - y));
        if (next == nullptr) {
            break;
        }
        y = int(static_cast<const uint8_t*>(next) - sources);
        const int d = values[y];
        const bool weak = reliability[y] < params.slightlyReliable;
        auto stops = [&](int i) {
            return blocked[i] || (values[i] < d && reliability[i] >= params.highlyReliable) ||
                   (weak && values[i] == d + 1);
        };
        for (int i = y - 1; i >= 0 && !stops(i); --i) {
            values[i] = uint8_t(d);
        }
        int i = y + 1;
        while (i < count && !stops(i)) {
            values[i] = uint8_t(d);
            ++i;
        }
        y = i;
    }
}

// Vertical intensity gradients of columns [first, last) into gradients (rows of last - first
// bytes): rows whose left-image intensities change by 5 or more across three rows, the next
// test after a hit starting two rows further. Row by row, so that the columns go in lock-step;
// `skip` holds each column's "previous row was a hit".
void VerticalGradients(const uint8_t* left, size_t leftStep, int height, int first, int last,
                       uint8_t* gradients, uint8_t* skip) {
    const int n = last - first;
    std::fill(gradients, gradients + size_t(std::min(height, 2)) * n, uint8_t(0));
    std::fill(skip, skip + n, uint8_t(0));
    for (int y = 1; y <= height - 2; ++y) {
        const uint8_t* a = left + size_t(y - 1) * leftStep + first;
        const uint8_t* b = a + leftStep;
        const uint8_t* c = b + leftStep;
        uint8_t* above = gradients + size_t(y - 1) * n;
        uint8_t* here = above + n;
        uint8_t* below = here + n;
        for (int i = 0; i < n; ++i) {
            const uint8_t hi = std::max(std::max(a[i], b[i]), c[i]);
            const uint8_t lo = std::min(std::min(a[i], b[i]), c[i]);
            const uint8_t hit = uint8_t(!skip[i] & (hi - lo >= 5));
            above[i] |= hit;
            here[i] |= hit;
            below[i] = hit;
            skip[i] = hit;
        }
    }
}

} // namespace

void PostProcessColumns(uint8_t* map, const uint8_t* left, size_t leftStep, int width, int height,
                        const MatchParams& params, int first, int last) {
    const size_t h = size_t(height);
    std::vector<uint8_t> gradients((BLOCK_COLUMNS + 2) * h);
    std::vector<uint8_t> skip(BLOCK_COLUMNS + 2);
    std::vector<uint8_t> columns(BLOCK_COLUMNS * h);
    std::vector<uint8_t> blockedColumns(BLOCK_COLUMNS * h);
    std::vector<uint8_t> blockedRows(BLOCK_COLUMNS * h);
    std::vector<int> reliability(h);
    std::vector<uint8_t> sources(h);

    for (int x0 = first; x0 < last; x0 += BLOCK_COLUMNS) {
        const int x1 = std::min(x0 + BLOCK_COLUMNS, last);
        const int n = x1 - x0;
        // Vertical coercion, row by row over the block: a pixel between two equal neighbours
        // takes their value (later rows see the change).
        for (int y = 1; y <= height - 2; ++y) {
            const uint8_t* above = map + size_t(y - 1) * width + x0;
            uint8_t* here = map + size_t(y) * width + x0;
            const uint8_t* below = map + size_t(y + 1) * width + x0;
            for (int i = 0; i < n; ++i) {
                here[i] = above[i] == below[i] ? above[i] : here[i];
            }
        }
        // Gradient flags of the block and its halo columns x0 - 1 and x1 where they exist,
        // thinned to those whose row neighbours are flagged too.
        const int h0 = std::max(x0 - 1, 0);
        const int h1 = std::min(x1 + 1, width);
        const int hn = h1 - h0;
        VerticalGradients(left, leftStep, height, h0, h1, gradients.data(), skip.data());
        // The thinned flags row by row, then they and the map as columns.
        for (int y = 0; y < height; ++y) {
            const uint8_t* g = &gradients[size_t(y) * hn] + (x0 - h0);
            uint8_t* thinned = &blockedRows[size_t(y) * n];
            for (int i = 0; i < n; ++i) {
                const int x = x0 + i;
                const bool inner = x >= 1 && x <= width - 2;
                thinned[i] = inner ? g[i] & g[i - 1] & g[i + 1] : g[i];
            }
        }
        TransposeBytes(blockedRows.data(), size_t(n), height, n, blockedColumns.data(), h);
        TransposeBytes(map + x0, size_t(width), height, n, columns.data(), h);

        for (int i = 0; i < n; ++i) {
            uint8_t* column = &columns[size_t(i) * h];
            RunLengths(column, height, reliability.data());
            Propagate(column, reliability.data(), &blockedColumns[size_t(i) * h], height, params,
                      sources.data());
        }

        TransposeBytes(columns.data(), h, n, height, map + x0, size_t(width));
    }
}

void PostProcessRows(uint8_t* map, const uint8_t* left, size_t leftStep, const uint8_t* right,
                     size_t rightStep, int width, int height, const MatchParams& params, int first,
                     int last) {
    std::vector<uint8_t> edges(width);
    std::vector<int> reliability(width);
    std::vector<uint8_t> sources(width);
    for (int y = first; y < last; ++y) {
        uint8_t* row = map + size_t(y) * width;
        EdgeFlags(left + size_t(y) * leftStep, right + size_t(y) * rightStep, width, edges.data());
        for (uint8_t& e : edges) {
            e &= EDGE_LEFT;
        }
        RunLengths(row, width, reliability.data());
        Propagate(row, reliability.data(), edges.data(), width, params, sources.data());
    }
}

} // namespace stereo
