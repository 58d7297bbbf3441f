// Window buffers of the right shape, and the split of the source.
#include "stereo/view_buffers.h"

#include "runtime/qivlib.h"

#include <algorithm>
#include <cstddef>

std::uint32_t* ViewBuffer32(int n, int width, int height) {
    if (!IsImageWindowInUse(n)) {
        return nullptr;
    }
    const ImageWindowRecord& record = qiv_image[n];
    if (record.bits != 32 || record.width != width || record.height != height) {
        return nullptr;
    }
    return qiv_pixels32[n];
}

void SplitSideBySide(int sourceWidth, int height, const std::uint32_t* source, std::uint32_t* viewA,
                     std::uint32_t* viewB) {
    const std::size_t half = static_cast<std::size_t>(sourceWidth / 2);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = source + static_cast<std::size_t>(y) * sourceWidth;
        std::copy(row, row + half, viewA + y * half);
        std::copy(row + half, row + 2 * half, viewB + y * half);
    }
}
