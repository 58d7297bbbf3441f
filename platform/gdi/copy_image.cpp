// CopyImage for bitmaps: a new bitmap (a DIB section with LR_CREATEDIBSECTION) of the same
// format, scaled by nearest pixels when another size is asked for.
#include "platform/gdi/dc_pixels.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/win32.h"

#include <cstring>
#include <vector>

HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags) {
    if (type != IMAGE_BITMAP || width < 0 || height < 0) {
        return nullptr;
    }
    HBITMAP copy = nullptr;
    {
        platform::gdi::BitmapPixels source(static_cast<HBITMAP>(image));
        if (!source.Valid()) {
            return nullptr;
        }
        const platform::gdi::PixelBuffer& from = source.Pixels();
        if ((flags & LR_COPYRETURNORG) && (width == 0 || width == from.width) &&
            (height == 0 || height == from.height)) {
            return image;
        }
        const int w = width != 0 ? width : from.width;
        const int h = height != 0 ? height : from.height;
        const bool indexed = from.bitsPerPixel == 8;
        std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        header->biSize = sizeof(BITMAPINFOHEADER);
        header->biWidth = w;
        header->biHeight = -h;
        header->biPlanes = 1;
        header->biBitCount = indexed ? 8 : 32;
        header->biCompression = BI_RGB;
        if (indexed) {
            header->biClrUsed = static_cast<DWORD>(from.colorCount);
            std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), from.colors,
                        static_cast<std::size_t>(from.colorCount) * sizeof(RGBQUAD));
        }
        void* bits = nullptr;
        copy = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                &bits, nullptr, 0);
        if (copy == nullptr || bits == nullptr) {
            return nullptr;
        }
        std::uint32_t lut[256];
        platform::gdi::BuildColorLut(from, lut);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(from.width));
        const std::size_t stride = indexed ? (static_cast<std::size_t>(w) + 3) & ~std::size_t{3}
                                           : static_cast<std::size_t>(w) * 4;
        for (int y = 0; y < h; ++y) {
            const int sy = static_cast<int>(std::int64_t{y} * from.height / h);
            auto* out = static_cast<std::uint8_t*>(bits) + stride * y;
            if (!indexed) {
                platform::gdi::ReadRgbRow(from, sy, 0, from.width, row.data(), lut);
            }
            for (int x = 0; x < w; ++x) {
                const int sx = static_cast<int>(std::int64_t{x} * from.width / w);
                if (indexed) {
                    out[x] = from.Row(sy)[sx];
                } else {
                    reinterpret_cast<std::uint32_t*>(out)[x] = row[sx];
                }
            }
        }
    }
    if (flags & LR_COPYDELETEORG) {
        DeleteObject(image);
    }
    return copy;
}
