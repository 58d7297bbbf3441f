// A view of pixels that GDI draws into or reads from: a bitmap's rows or a window's client
// surface. The owner of the pixels keeps them alive; the view never allocates.
#pragma once

#include "platform/win32_gdi.h"

#include <cstddef>
#include <cstdint>

namespace platform::gdi {

struct PixelBuffer {
    std::uint8_t* top = nullptr; // first byte of the top row
    std::ptrdiff_t rowStep = 0;  // bytes from a row to the one below (negative when bottom-up)
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;           // 8 (indices into colors), 24 (B, G, R) or 32 (0x00RRGGBB)
    const RGBQUAD* colors = nullptr; // the colour table of 8-bit buffers
    int colorCount = 0;

    std::uint8_t* Row(int y) const { return top + y * rowStep; }
    bool Valid() const { return top != nullptr && width > 0 && height > 0; }
};

// Colours inside GDI are 0x00RRGGBB words, as 32-bit pixels hold them; COLORREF is 0x00BBGGRR.
constexpr std::uint32_t RgbFromColorRef(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorRefFromRgb(std::uint32_t rgb) {
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}
constexpr std::uint32_t RgbFromQuad(const RGBQUAD& q) {
    return (std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

} // namespace platform::gdi
