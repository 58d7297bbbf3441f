// The region two aligned views share. Every composition of the stereo application (previews,
// depth pass, saved files) goes through this one rule, so they always agree on what is shown,
// matched and written.
#pragma once

#include <cstddef>
#include <cstdint>

// An offset of (offsetX, offsetY) pairs view A's pixel (ax + x, ay + y) with view B's pixel
// (bx + x, by + y) for 0 <= x < cols, 0 <= y < rows. cols or rows is zero or negative when
// the offset leaves the views nothing in common; the starts are then meaningless.
struct Overlap {
    int cols;
    int rows;
    int ax;
    int ay;
    int bx;
    int by;
};

// The overlap of two width x height views at the given offset. Any int offset is accepted:
// offsets beyond the views give a negative size rather than an overflow.
Overlap ComputeOverlap(int width, int height, int offsetX, int offsetY);

// True when the overlap holds no pixel.
inline bool IsEmptyOverlap(const Overlap& overlap) {
    return overlap.cols <= 0 || overlap.rows <= 0;
}

// Copies one view's part of a non-empty overlap into the top-left corner of dst, whose rows are
// dstStride pixels long. view is the W-pixel-wide view and (startX, startY) its start in the
// overlap: (ax, ay) for view A, (bx, by) for view B.
void CopyOverlap(const std::uint32_t* view, int W, int startX, int startY, const Overlap& overlap,
                 std::uint32_t* dst, std::size_t dstStride);
