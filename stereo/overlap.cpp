// The overlap rule of the stereo application.
#include "stereo/overlap.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// |offset| of INT_MIN does not fit an int, so sizes are worked out in 64 bits and clamped.
int ClampedExtent(int size, int offset) {
    const std::int64_t extent =
        std::int64_t{size} - (offset < 0 ? -std::int64_t{offset} : std::int64_t{offset});
    return static_cast<int>(std::clamp<std::int64_t>(extent, INT_MIN, INT_MAX));
}

} // namespace

Overlap ComputeOverlap(int width, int height, int offsetX, int offsetY) {
    Overlap overlap;
    overlap.cols = ClampedExtent(width, offsetX);
    overlap.rows = ClampedExtent(height, offsetY);
    overlap.ax = std::max(offsetX, 0);
    overlap.ay = std::max(offsetY, 0);
    overlap.bx = offsetX < 0 ? (offsetX == INT_MIN ? INT_MAX : -offsetX) : 0;
    overlap.by = offsetY < 0 ? (offsetY == INT_MIN ? INT_MAX : -offsetY) : 0;
    return overlap;
}

void CopyOverlap(const std::uint32_t* view, int W, int startX, int startY, const Overlap& overlap,
                 std::uint32_t* dst, std::size_t dstStride) {
    const auto width = static_cast<std::size_t>(W);
    for (int y = 0; y < overlap.rows; ++y) {
        const std::uint32_t* from =
            view + static_cast<std::size_t>(startY + y) * width + static_cast<std::size_t>(startX);
        std::copy(from, from + overlap.cols, dst + static_cast<std::size_t>(y) * dstStride);
    }
}
