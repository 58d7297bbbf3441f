// The geometry of a blit, one axis at a time: which destination pixels are written and which
// source pixels feed each of them, after clipping to both buffers.
#pragma once

#include <vector>

namespace platform::gdi {

// A span of pixels on one axis. A positive extent covers origin .. origin + extent - 1; a
// negative extent covers origin, origin - 1, … origin + extent + 1 in that order, so that
// spans of opposite signs mirror.
struct Span {
    int origin;
    int extent;
};

struct AxisMap {
    int first = 0;            // lowest destination coordinate written
    int count = 0;            // destination pixels written; 0 when nothing is
    std::vector<int> nearest; // for destination first + k, the source pixel its centre samples
};

// A destination pixel is written when it lies inside the destination and the source pixel
// under its centre lies inside the source.
AxisMap MapAxis(Span dst, int dstSize, Span src, int srcSize);

// Filter weights of one axis for smoothed stretching, in units of FILTER_ONE.
constexpr int FILTER_SHIFT = 14;
constexpr int FILTER_ONE = 1 << FILTER_SHIFT;

struct AxisTaps {
    std::vector<int> offset; // taps of destination first + k: offset[k] .. offset[k + 1] - 1
    std::vector<int> coords; // source pixel of each tap
    std::vector<int>
        weights;      // weight of each tap; the weights of one destination sum to FILTER_ONE
    int minCoord = 0; // smallest and largest source pixel that any tap reads
    int maxCoord = 0;
};

// Shrinking averages the source area under each destination pixel; enlarging interpolates
// linearly between the two source pixels nearest to the destination pixel's centre. Taps
// never leave the source span or the source buffer.
AxisTaps FilterAxis(const AxisMap& map, Span dst, Span src, int srcSize);

} // namespace platform::gdi
