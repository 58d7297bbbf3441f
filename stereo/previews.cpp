// Anaglyph and wiggle frames of the aligned pair.
#include "stereo/previews.h"

#include "stereo/overlap.h"

#include <algorithm>
#include <cstddef>

namespace {

std::size_t PixelCount(int W, int H) {
    return W > 0 && H > 0 ? static_cast<std::size_t>(W) * static_cast<std::size_t>(H) : 0;
}

std::size_t At(int x, int y, int W) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(W) + static_cast<std::size_t>(x);
}

} // namespace

std::uint32_t AnaglyphPixel(std::uint32_t left, std::uint32_t right) {
    const int r = static_cast<int>((left >> 16) & 0xFF);
    const int g = static_cast<int>((left >> 8) & 0xFF);
    const int bl = static_cast<int>(left & 0xFF);
    // The sum is evaluated in double in exactly this order and truncated, so that a grey of
    // 128 gives 127: reordering or rounding would change the picture.
    const double luminance = (g * 0.587 + r * 0.299) + bl * 0.114;
    const auto y = static_cast<std::uint32_t>(static_cast<int>(luminance));
    return ((y & 0xFF) << 16) | (right & 0x0000FFFF);
}

void MakeAnaglyph(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                  std::uint32_t* bufferPreview, int offsetX, int offsetY) {
    std::fill_n(bufferPreview, PixelCount(W, H), 0u);
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    if (IsEmptyOverlap(o)) {
        return;
    }
    for (int y = 0; y < o.rows; ++y) {
        const std::uint32_t* a = leftEye + At(o.ax, o.ay + y, W);
        const std::uint32_t* b = rightEye + At(o.bx, o.by + y, W);
        std::uint32_t* out = bufferPreview + At(0, y, W);
        for (int x = 0; x < o.cols; ++x) {
            out[x] = AnaglyphPixel(a[x], b[x]);
        }
    }
}

void ComposeWiggleFrames(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                         std::uint32_t* frameA, std::uint32_t* frameB, int offsetX, int offsetY) {
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    if (frameA != nullptr) {
        std::fill_n(frameA, PixelCount(W, H), 0u);
        if (!IsEmptyOverlap(o)) {
            CopyOverlap(leftEye, W, o.ax, o.ay, o, frameA, static_cast<std::size_t>(W));
        }
    }
    if (frameB != nullptr) {
        std::fill_n(frameB, PixelCount(W, H), 0u);
        if (!IsEmptyOverlap(o)) {
            CopyOverlap(rightEye, W, o.bx, o.by, o, frameB, static_cast<std::size_t>(W));
        }
    }
}
