// Row conversions between pixel formats and nearest-colour matching against a colour table.
#pragma once

#include "platform/gdi/pixel_buffer.h"

#include <array>
#include <cstdint>

namespace platform::gdi {

// Fills lut with the colours of an 8-bit buffer's table; entries past its end read black.
void BuildColorLut(const PixelBuffer& buffer, std::uint32_t lut[256]);

// Reads count pixels of row y from column x on as 0x00RRGGBB words. lut is the buffer's colour
// table (BuildColorLut) and is used only for 8-bit buffers.
void ReadRgbRow(const PixelBuffer& buffer, int y, int x, int count, std::uint32_t* out,
                const std::uint32_t* lut);

// Finds the colour-table entry nearest to a colour (squared RGB distance, lowest index on
// ties). Remembers recent answers, since rows of real pictures repeat colours.
class ColorMatcher {
public:
    ColorMatcher(const RGBQUAD* colors, int count);
    std::uint8_t Match(std::uint32_t rgb);

private:
    static constexpr int CACHE_SIZE = 1024;
    const RGBQUAD* colors_;
    int count_;
    std::array<std::uint32_t, CACHE_SIZE> keys_;
    std::array<std::uint8_t, CACHE_SIZE> values_;
};

} // namespace platform::gdi
