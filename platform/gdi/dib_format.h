// Validation and reading of device-independent bitmaps as callers and the clipboard hand them
// over: a header, optional colour masks, a colour table and rows padded to 4 bytes. Every size
// is checked before anything past the header is read.
#pragma once

#include "platform/win32_gdi.h"

#include <cstddef>
#include <cstdint>

namespace platform::gdi {

struct DibLayout {
    int width = 0;
    int height = 0; // rows, always positive
    bool topDown = false;
    int bitCount = 0;                     // 1, 4, 8, 16, 24 or 32
    std::uint32_t masks[3] = {};          // red, green, blue masks of 16- and 32-bit pixels
    const std::uint8_t* colors = nullptr; // colour table (bitCount <= 8)
    int colorCount = 0;
    int colorEntrySize = 4;      // 3 for the RGBTRIPLEs of a core header
    std::size_t tableOffset = 0; // bytes from the header's start to the colour table
    std::size_t pixelOffset = 0; // bytes from the header's start to the pixels of a packed DIB
    std::size_t stride = 0;      // bytes per row
    std::size_t imageBytes = 0;  // stride × height
};

// Reads a header (BITMAPCOREHEADER, BITMAPINFOHEADER or a later version) with its masks and
// colour table. available is how many bytes may be read from info; pass SIZE_MAX when the
// caller cannot say, and a declared image size (biSizeImage) smaller than the rows need is
// then refused too. False for anything malformed, unsupported (compressed rows) or too big.
bool ParseDibHeader(const void* info, std::size_t available, DibLayout* layout);

// A packed DIB (header, table and pixels in one block of size bytes), as CF_DIB holds it.
bool ParsePackedDib(const void* data, std::size_t size, DibLayout* layout,
                    const std::uint8_t** pixels);

// The colour of table entry i as 0x00RRGGBB (black past the table).
std::uint32_t DibColor(const DibLayout& layout, int i);

// Converts count pixels of row y (0 is the top row) to 0x00RRGGBB.
void ReadDibRow(const DibLayout& layout, const std::uint8_t* pixels, int y, int count,
                std::uint32_t* out);

} // namespace platform::gdi
