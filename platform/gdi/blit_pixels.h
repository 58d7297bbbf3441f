// Blits between pixel buffers: copies, stretches with nearest-pixel or smoothing filters,
// mirroring, ternary raster operations and fills, all clipped to both buffers.
#pragma once

#include "platform/gdi/axis_map.h"
#include "platform/gdi/pixel_buffer.h"

#include <cstdint>

namespace platform::gdi {

struct BlitParams {
    Span dstX;
    Span dstY;
    Span srcX; // ignored when the operation reads no source
    Span srcY;
    DWORD rop = SRCCOPY;
    int stretchMode = BLACKONWHITE;
    std::uint32_t pattern = 0; // brush colour, 0x00RRGGBB
    bool hasPattern = true;    // false for a hollow brush: operations that read it draw nothing
};

// Draws into dst and returns the rectangle written (empty when nothing was). src may be null
// for operations that read no source; it may be dst itself, overlapping or not. 32-bit results
// keep the top byte zero. An 8-bit destination receives indices: copied from an 8-bit source,
// otherwise the nearest entries of its colour table. Smoothed stretching works on colours, so
// between two 8-bit buffers it too ends in the nearest entries.
RECT BlitPixels(const PixelBuffer& dst, const PixelBuffer* src, const BlitParams& params);

} // namespace platform::gdi
