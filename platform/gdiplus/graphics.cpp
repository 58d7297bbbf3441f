// Graphics objects on device contexts, and drawing pictures into the pixels behind them.
#include "platform/gdi/dc_pixels.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/gdiplus/gp_image.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

namespace {

std::uint32_t Blend(std::uint32_t src, std::uint32_t dst) {
    const std::uint32_t a = src >> 24;
    if (a == 0xFF) {
        return src & 0xFFFFFF;
    }
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t s = (src >> shift) & 0xFF;
        const std::uint32_t d = (dst >> shift) & 0xFF;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

// Writes count colours (0x00RRGGBB) into row y of the buffer from column x on.
void StoreRow(const platform::gdi::PixelBuffer& buffer, int y, int x, int count,
              const std::uint32_t* rgb, std::optional<platform::gdi::ColorMatcher>& matcher) {
    std::uint8_t* row = buffer.Row(y);
    switch (buffer.bitsPerPixel) {
    case 32:
        std::copy(rgb, rgb + count, reinterpret_cast<std::uint32_t*>(row) + x);
        break;
    case 24:
        for (int i = 0; i < count; ++i) {
            std::uint8_t* p = row + 3 * (x + i);
            p[0] = rgb[i] & 0xFF;
            p[1] = (rgb[i] >> 8) & 0xFF;
            p[2] = (rgb[i] >> 16) & 0xFF;
        }
        break;
    case 8:
        if (!matcher) {
            matcher.emplace(buffer.colors, buffer.colorCount);
        }
        for (int i = 0; i < count; ++i) {
            row[x + i] = matcher->Match(rgb[i]);
        }
        break;
    default:
        break;
    }
}

} // namespace

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
    if (hdc == nullptr || graphics == nullptr) {
        return InvalidParameter;
    }
    *graphics = nullptr;
    if (!platform::gdi::DcPixels(hdc).Valid()) {
        return InvalidParameter;
    }
    auto* made = new (std::nothrow) GpGraphics;
    if (made == nullptr) {
        return OutOfMemory;
    }
    made->hdc = hdc;
    *graphics = made;
    return Ok;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
    if (graphics == nullptr) {
        return InvalidParameter;
    }
    delete graphics;
    return Ok;
}

GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                            INT height) {
    if (graphics == nullptr || image == nullptr) {
        return InvalidParameter;
    }
    if (width <= 0 || height <= 0) {
        return Ok; // nothing to cover
    }
    platform::gdi::DcPixels target(graphics->hdc);
    if (!target.Valid()) {
        return InvalidParameter;
    }
    const platform::gdi::PixelBuffer& buffer = target.Pixels();
    // The covered part of the destination, in 64 bits so that far-off rectangles cannot wrap.
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, buffer.width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, buffer.height);
    if (left >= right || top >= bottom) {
        return Ok;
    }
    const int count = static_cast<int>(right - left);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(count));
    std::vector<std::uint32_t> under(static_cast<std::size_t>(count));
    std::uint32_t lut[256];
    platform::gdi::BuildColorLut(buffer, lut);
    std::optional<platform::gdi::ColorMatcher> matcher;
    for (std::int64_t dy = top; dy < bottom; ++dy) {
        const std::int64_t sy = (dy - y) * image->height / height;
        const std::uint32_t* src = image->argb.data() + sy * image->width;
        bool translucent = false;
        for (int i = 0; i < count; ++i) {
            const std::int64_t sx = (left + i - x) * image->width / width;
            row[i] = src[sx];
            translucent = translucent || (row[i] >> 24) != 0xFF;
        }
        if (translucent) {
            platform::gdi::ReadRgbRow(buffer, static_cast<int>(dy), static_cast<int>(left), count,
                                      under.data(), lut);
        }
        for (int i = 0; i < count; ++i) {
            row[i] = translucent ? Blend(row[i], under[i]) : row[i] & 0xFFFFFF;
        }
        StoreRow(buffer, static_cast<int>(dy), static_cast<int>(left), count, row.data(), matcher);
    }
    target.MarkChanged(RECT{static_cast<LONG>(left), static_cast<LONG>(top),
                            static_cast<LONG>(right), static_cast<LONG>(bottom)});
    return Ok;
}
