// Propagation of reliable disparities across scanlines, on the finished raw map.
//
// The vertical steps run column by column over blocks of columns copied into column-major
// scratch, so each column is a contiguous array and the column walks stay in cache. A column
// needs only its own map values and the vertical-gradient flags of itself and its two
// neighbours, so blocks are independent and recompute their one-column halo of flags.
#include "app/stereo_matcher_internal.h"

#include <algorithm>
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
// pixels with the line's gradient flag.
void Propagate(uint8_t* values, const int* reliability, const uint8_t* blocked, int count,
               const MatchParams& params) {
    int y = 0;
    while (y < count) {
        const int d = values[y];
        if (reliability[y] < params.moderatelyReliable || blocked[y] || d == 0) {
            ++y;
            continue;
        }
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

// Rows whose left-image intensities change by 5 or more across three rows (the next test after a
// hit starts two rows further).
void VerticalGradients(const uint8_t* left, int height, uint8_t* flags) {
    std::fill(flags, flags + height, uint8_t(0));
    int y = 1;
    while (y <= height - 2) {
        const int a = left[y - 1], b = left[y], c = left[y + 1];
        if (std::max(std::max(a, b), c) - std::min(std::min(a, b), c) >= 5) {
            flags[y - 1] = flags[y] = flags[y + 1] = 1;
            y += 2;
        } else {
            ++y;
        }
    }
}

} // namespace

void PostProcessColumns(uint8_t* map, const uint8_t* left, size_t leftStep, int width, int height,
                        const MatchParams& params, int first, int last) {
    const size_t h = size_t(height);
    std::vector<uint8_t> leftColumns((BLOCK_COLUMNS + 2) * h);
    std::vector<uint8_t> gradients((BLOCK_COLUMNS + 2) * h);
    std::vector<uint8_t> columns(BLOCK_COLUMNS * h);
    std::vector<uint8_t> blocked(h);
    std::vector<int> reliability(h);

    for (int x0 = first; x0 < last; x0 += BLOCK_COLUMNS) {
        const int x1 = std::min(x0 + BLOCK_COLUMNS, last);
        // Halo columns x0 - 1 and x1, where they exist, at slots 0 and x1 - x0 + 1.
        const int h0 = std::max(x0 - 1, 0);
        const int h1 = std::min(x1 + 1, width);
        for (int y = 0; y < height; ++y) {
            const uint8_t* l = left + size_t(y) * leftStep;
            for (int x = h0; x < h1; ++x) {
                leftColumns[size_t(x - x0 + 1) * h + y] = l[x];
            }
            const uint8_t* m = map + size_t(y) * width;
            for (int x = x0; x < x1; ++x) {
                columns[size_t(x - x0) * h + y] = m[x];
            }
        }
        for (int x = h0; x < h1; ++x) {
            const size_t slot = size_t(x - x0 + 1) * h;
            VerticalGradients(&leftColumns[slot], height, &gradients[slot]);
        }

        for (int x = x0; x < x1; ++x) {
            uint8_t* column = &columns[size_t(x - x0) * h];
            // Vertical coercion: a pixel between two equal neighbours takes their value.
            for (int y = 1; y <= height - 2; ++y) {
                if (column[y - 1] == column[y + 1]) {
                    column[y] = column[y - 1];
                }
            }
            // Gradient flags thinned to those whose row neighbours are flagged too.
            const uint8_t* g = &gradients[size_t(x - x0 + 1) * h];
            if (x >= 1 && x <= width - 2) {
                const uint8_t* before = g - h;
                const uint8_t* after = g + h;
                for (int y = 0; y < height; ++y) {
                    blocked[y] = g[y] & before[y] & after[y];
                }
            } else {
                std::copy(g, g + h, blocked.begin());
            }
            RunLengths(column, height, reliability.data());
            Propagate(column, reliability.data(), blocked.data(), height, params);
        }

        for (int y = 0; y < height; ++y) {
            uint8_t* m = map + size_t(y) * width;
            for (int x = x0; x < x1; ++x) {
                m[x] = columns[size_t(x - x0) * h + y];
            }
        }
    }
}

void PostProcessRows(uint8_t* map, const uint8_t* left, size_t leftStep, const uint8_t* right,
                     size_t rightStep, int width, int height, const MatchParams& params, int first,
                     int last) {
    std::vector<uint8_t> edges(width);
    std::vector<int> reliability(width);
    for (int y = first; y < last; ++y) {
        uint8_t* row = map + size_t(y) * width;
        EdgeFlags(left + size_t(y) * leftStep, right + size_t(y) * rightStep, width, edges.data());
        for (uint8_t& e : edges) {
            e &= EDGE_LEFT;
        }
        RunLengths(row, width, reliability.data());
        Propagate(row, reliability.data(), edges.data(), width, params);
    }
}

} // namespace stereo
