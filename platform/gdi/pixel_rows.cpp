#include "platform/gdi/pixel_rows.h"

namespace platform::gdi {

void BuildColorLut(const PixelBuffer& buffer, std::uint32_t lut[256]) {
    int count = buffer.colors ? buffer.colorCount : 0;
    if (count > 256) {
        count = 256;
    }
    for (int i = 0; i < count; ++i) {
        lut[i] = RgbFromQuad(buffer.colors[i]);
    }
    for (int i = count; i < 256; ++i) {
        lut[i] = 0;
    }
}

void ReadRgbRow(const PixelBuffer& buffer, int y, int x, int count, std::uint32_t* out,
                const std::uint32_t* lut) {
    const std::uint8_t* row = buffer.Row(y);
    switch (buffer.bitsPerPixel) {
    case 32: {
        const auto* src = reinterpret_cast<const std::uint32_t*>(row) + x;
        for (int i = 0; i < count; ++i) {
            out[i] = src[i] & 0x00FFFFFFu;
        }
        break;
    }
    case 24: {
        const std::uint8_t* src = row + 3 * x;
        for (int i = 0; i < count; ++i, src += 3) {
            out[i] = (std::uint32_t{src[2]} << 16) | (std::uint32_t{src[1]} << 8) | src[0];
        }
        break;
    }
    default: {
        const std::uint8_t* src = row + x;
        for (int i = 0; i < count; ++i) {
            out[i] = lut[src[i]];
        }
        break;
    }
    }
}

ColorMatcher::ColorMatcher(const RGBQUAD* colors, int count)
    : colors_(colors), count_(colors ? (count > 256 ? 256 : count) : 0) {
    keys_.fill(0xFFFFFFFFu);
}

std::uint8_t ColorMatcher::Match(std::uint32_t rgb) {
    rgb &= 0x00FFFFFFu;
    const std::uint32_t slot = ((rgb >> 14) ^ (rgb >> 4) ^ rgb) & (CACHE_SIZE - 1);
    if (keys_[slot] == rgb) {
        return values_[slot];
    }
    const int r = static_cast<int>(rgb >> 16);
    const int g = static_cast<int>((rgb >> 8) & 0xFF);
    const int b = static_cast<int>(rgb & 0xFF);
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < count_; ++i) {
        const int dr = r - colors_[i].rgbRed;
        const int dg = g - colors_[i].rgbGreen;
        const int db = b - colors_[i].rgbBlue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) {
                break;
            }
        }
    }
    keys_[slot] = rgb;
    values_[slot] = static_cast<std::uint8_t>(best);
    return values_[slot];
}

} // namespace platform::gdi
