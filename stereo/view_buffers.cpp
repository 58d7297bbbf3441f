// The split of the source into its views.
#include "stereo/view_buffers.h"

#include <algorithm>
#include <cstddef>

void SplitSideBySide(int sourceWidth, int height, const std::uint32_t* source, std::uint32_t* viewA,
                     std::uint32_t* viewB) {
    const std::size_t half = static_cast<std::size_t>(sourceWidth / 2);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = source + static_cast<std::size_t>(y) * sourceWidth;
        std::copy(row, row + half, viewA + y * half);
        std::copy(row + half, row + 2 * half, viewB + y * half);
    }
}
