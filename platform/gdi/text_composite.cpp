#include "platform/gdi/text_composite.h"

#include "platform/gdi/pixel_rows.h"

#include <algorithm>
#include <cstdint>

namespace platform::gdi {

namespace {

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, std::uint32_t a) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t u = (under >> shift) & 0xFF;
        const std::uint32_t o = (over >> shift) & 0xFF;
        out |= ((u * (255 - a) + o * a + 127) / 255) << shift;
    }
    return out;
}

std::uint32_t ReadPixel(const PixelBuffer& b, int x, int y, const std::uint32_t* lut) {
    std::uint32_t rgb = 0;
    ReadRgbRow(b, y, x, 1, &rgb, lut);
    return rgb;
}

void WritePixel(const PixelBuffer& b, int x, int y, std::uint32_t rgb) {
    std::uint8_t* row = b.Row(y);
    if (b.bitsPerPixel == 32) {
        reinterpret_cast<std::uint32_t*>(row)[x] = rgb;
    } else {
        std::uint8_t* p = row + 3 * x;
        p[0] = static_cast<std::uint8_t>(rgb);
        p[1] = static_cast<std::uint8_t>(rgb >> 8);
        p[2] = static_cast<std::uint8_t>(rgb >> 16);
    }
}

void Unite(RECT* into, const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    if (into->right <= into->left || into->bottom <= into->top) {
        *into = r;
        return;
    }
    into->left = std::min(into->left, r.left);
    into->top = std::min(into->top, r.top);
    into->right = std::max(into->right, r.right);
    into->bottom = std::max(into->bottom, r.bottom);
}

} // namespace

RECT CompositeText(const PixelBuffer& dst, const TextMask& mask, int x, int y, int cellHeight,
                   const TextColors& colors) {
    RECT changed{};
    if (!dst.Valid()) {
        return changed;
    }
    const bool indexed = dst.bitsPerPixel == 8;
    std::uint8_t textIndex = 0;
    std::uint8_t backgroundIndex = 0;
    if (indexed) {
        ColorMatcher matcher(dst.colors, dst.colorCount);
        textIndex = matcher.Match(colors.text);
        backgroundIndex = matcher.Match(colors.background);
    }
    if (colors.opaque) {
        const RECT box{static_cast<LONG>(std::clamp<std::int64_t>(x, 0, dst.width)),
                       static_cast<LONG>(std::clamp<std::int64_t>(y, 0, dst.height)),
                       static_cast<LONG>(
                           std::clamp<std::int64_t>(std::int64_t{x} + mask.advance, 0, dst.width)),
                       static_cast<LONG>(
                           std::clamp<std::int64_t>(std::int64_t{y} + cellHeight, 0, dst.height))};
        for (int row = box.top; row < box.bottom; ++row) {
            for (int col = box.left; col < box.right; ++col) {
                if (indexed) {
                    dst.Row(row)[col] = backgroundIndex;
                } else {
                    WritePixel(dst, col, row, colors.background);
                }
            }
        }
        Unite(&changed, box);
    }
    const RECT& area = mask.area;
    const int width = area.right - area.left;
    std::uint32_t lut[256];
    if (indexed) {
        BuildColorLut(dst, lut);
    }
    for (int row = std::max<LONG>(area.top, 0); row < std::min<LONG>(area.bottom, dst.height);
         ++row) {
        const std::uint8_t* coverage =
            mask.coverage.data() + static_cast<std::size_t>(row - area.top) * width;
        for (int col = std::max<LONG>(area.left, 0); col < std::min<LONG>(area.right, dst.width);
             ++col) {
            const std::uint32_t a = coverage[col - area.left];
            if (a == 0) {
                continue;
            }
            if (indexed) {
                if (a >= 128) {
                    dst.Row(row)[col] = textIndex;
                }
            } else {
                WritePixel(dst, col, row, Blend(ReadPixel(dst, col, row, lut), colors.text, a));
            }
            Unite(&changed, RECT{col, row, col + 1, row + 1});
        }
    }
    return changed;
}

} // namespace platform::gdi
