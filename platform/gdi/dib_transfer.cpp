// Conversions between bitmaps and caller-held DIBs: CreateDIBitmap and GetDIBits.
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/pixel_rows.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

using platform::gdi::Bitmap;
using platform::gdi::ObjectKind;

namespace {

constexpr std::size_t UNKNOWN_SIZE = std::numeric_limits<std::size_t>::max();

// The colours that GetDIBits gives an 8-bit copy of a bitmap without a colour table: a
// 6 × 6 × 6 colour cube, then 40 greys.
void CubePalette(RGBQUAD* colors) {
    int i = 0;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b, ++i) {
                colors[i] = RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51),
                                    static_cast<BYTE>(r * 51), 0};
            }
        }
    }
    for (int k = 0; k < 40; ++k, ++i) {
        const auto v = static_cast<BYTE>((k * 255 + 19) / 39);
        colors[i] = RGBQUAD{v, v, v, 0};
    }
}

std::size_t StrideOf(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

} // namespace

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (hdc) {
        std::lock_guard lock(platform::gdi::TableMutex());
        if (!platform::gdi::FindLocked<platform::gdi::Dc>(hdc, ObjectKind::DC)) {
            return nullptr;
        }
    }
    platform::gdi::DibLayout shape;
    if (!platform::gdi::ParseDibHeader(header, UNKNOWN_SIZE, &shape)) {
        return nullptr;
    }
    platform::gdi::DibLayout source;
    const bool initialise = (init & CBM_INIT) != 0;
    if (initialise && (!bits || usage != DIB_RGB_COLORS ||
                       !platform::gdi::ParseDibHeader(info, UNKNOWN_SIZE, &source))) {
        return nullptr;
    }
    // Compatible with the screen: 32 bits per pixel.
    auto bitmap = platform::gdi::NewBitmap(shape.width, shape.height, 32, true);
    if (!bitmap) {
        return nullptr;
    }
    if (initialise) {
        const auto* pixels = static_cast<const std::uint8_t*>(bits);
        const int width = std::min(shape.width, source.width);
        const int height = std::min(shape.height, source.height);
        const platform::gdi::PixelBuffer out = bitmap->Pixels();
        for (int y = 0; y < height; ++y) {
            platform::gdi::ReadDibRow(source, pixels, y, width,
                                      reinterpret_cast<std::uint32_t*>(out.Row(y)));
        }
    }
    return static_cast<HBITMAP>(platform::gdi::AddObject(std::move(bitmap)));
}

int GetDIBits(HDC hdc, HBITMAP hbitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
              UINT usage) {
    std::shared_ptr<Bitmap> bitmap;
    {
        std::lock_guard lock(platform::gdi::TableMutex());
        if (!platform::gdi::FindLocked<platform::gdi::Dc>(hdc, ObjectKind::DC)) {
            return 0;
        }
        bitmap = platform::gdi::FindLocked<Bitmap>(hbitmap, ObjectKind::BITMAP);
    }
    if (!bitmap || !info || usage != DIB_RGB_COLORS ||
        info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
        return 0;
    }
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount == 0) {
        // Describe the bitmap.
        h.biWidth = bitmap->width;
        h.biHeight = bitmap->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(bitmap->bitsPerPixel);
        h.biCompression = BI_RGB;
        h.biSizeImage =
            static_cast<DWORD>(StrideOf(bitmap->width, bitmap->bitsPerPixel) * bitmap->height);
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        return bitmap->height;
    }
    const int bitCount = h.biBitCount;
    const std::int64_t signedHeight = h.biHeight;
    if ((bitCount != 8 && bitCount != 24 && bitCount != 32) || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || h.biWidth > (1 << 20) || signedHeight == 0 || signedHeight < -(1 << 20) ||
        signedHeight > (1 << 20)) {
        return 0;
    }
    const int width = h.biWidth;
    const int height = static_cast<int>(signedHeight < 0 ? -signedHeight : signedHeight);
    const bool topDown = signedHeight < 0;
    const std::size_t stride = StrideOf(width, bitCount);
    h.biSizeImage = static_cast<DWORD>(stride * height);
    const platform::gdi::PixelBuffer pixels = bitmap->Pixels();
    const bool copyIndices = bitCount == 8 && bitmap->bitsPerPixel == 8;
    if (bitCount == 8) {
        if (copyIndices) {
            std::memcpy(info->bmiColors, bitmap->colors.data(), 256 * sizeof(RGBQUAD));
        } else {
            CubePalette(info->bmiColors);
        }
    }
    if (!bits) {
        return height;
    }
    if (start >= static_cast<UINT>(height)) {
        return 0;
    }
    const UINT end =
        static_cast<UINT>(height) - start < lines ? static_cast<UINT>(height) : start + lines;
    std::uint32_t lut[256];
    if (pixels.bitsPerPixel == 8) {
        platform::gdi::BuildColorLut(pixels, lut);
    }
    platform::gdi::ColorMatcher matcher(info->bmiColors, 256);
    const int copied = std::min(width, pixels.width);
    std::vector<std::uint32_t> rgb(static_cast<std::size_t>(width), 0u);
    auto* out = static_cast<std::uint8_t*>(bits);
    for (UINT line = start; line < end; ++line, out += stride) {
        std::memset(out, 0, stride);
        const int y = topDown ? static_cast<int>(line) : height - 1 - static_cast<int>(line);
        if (y >= pixels.height) {
            continue;
        }
        if (copyIndices) {
            std::memcpy(out, pixels.Row(y), static_cast<std::size_t>(copied));
            continue;
        }
        platform::gdi::ReadRgbRow(pixels, y, 0, copied, rgb.data(), lut);
        for (int x = 0; x < copied; ++x) {
            const std::uint32_t c = rgb[x];
            switch (bitCount) {
            case 32:
                std::memcpy(out + 4 * x, &c, 4);
                break;
            case 24:
                out[3 * x] = static_cast<std::uint8_t>(c);
                out[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
                out[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
                break;
            default:
                out[x] = matcher.Match(c);
                break;
            }
        }
    }
    return static_cast<int>(end - start);
}
