// Smoothed stretching: a separable filter that averages the covered source area when
// shrinking and interpolates linearly when enlarging (see FilterAxis).
#pragma once

#include "platform/gdi/axis_map.h"
#include "platform/gdi/blit_pixels.h"
#include "platform/gdi/pixel_buffer.h"

#include <cstdint>

namespace platform::gdi {

// Writes the destination pixels that xs and ys map. Allocates a few rows of working memory.
void HalftoneRows(const PixelBuffer& dst, const PixelBuffer& src, const AxisMap& xs,
                  const AxisMap& ys, std::uint8_t rop3, const BlitParams& params);

} // namespace platform::gdi
