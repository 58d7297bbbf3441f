// Writes rows of results into a destination buffer through a raster operation, converting
// colours to the destination's format.
#pragma once

#include "platform/gdi/pixel_buffer.h"
#include "platform/gdi/pixel_rows.h"

#include <cstdint>
#include <optional>

namespace platform::gdi {

class RowStore {
public:
    RowStore(const PixelBuffer& dst, std::uint8_t rop3, std::uint32_t pattern);

    // Source colours (0x00RRGGBB) for pixels x .. x + count - 1 of row y.
    void StoreRgb(int y, int x, int count, const std::uint32_t* rgb);
    // Source indices; only for 8-bit destinations.
    void StoreIndices(int y, int x, int count, const std::uint8_t* indices);
    // Operations that read no source.
    void Fill(int y, int x, int count);

private:
    const PixelBuffer& dst_;
    std::uint8_t rop3_;
    std::uint32_t pattern_;
    std::uint8_t patternIndex_ = 0;
    std::optional<ColorMatcher> matcher_;
};

} // namespace platform::gdi
