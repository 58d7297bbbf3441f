// Puts rendered text into a pixel buffer: the opaque background box, then the glyph coverage
// blended in the text colour.
#pragma once

#include "platform/gdi/pixel_buffer.h"
#include "platform/gdi/text_backend.h"

#include <cstdint>

namespace platform::gdi {

struct TextColors {
    std::uint32_t text = 0;       // 0x00RRGGBB
    std::uint32_t background = 0; // 0x00RRGGBB
    bool opaque = true;           // fill the cells (advance × cell height) with the background
};

// (x, y) is the top-left corner of the first cell. Returns the rectangle changed. In 8-bit
// buffers a pixel takes the entry nearest to the text colour where coverage reaches half.
RECT CompositeText(const PixelBuffer& dst, const TextMask& mask, int x, int y, int cellHeight,
                   const TextColors& colors);

} // namespace platform::gdi
