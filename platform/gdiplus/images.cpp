// Start-up, picture objects and their properties, and bitmaps made from caller memory.
#include "platform/gdi/dib_format.h"
#include "platform/gdiplus/gp_image.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

using platform::gdiplus::MAX_IMAGE_PIXELS;
using platform::gdiplus::MAX_IMAGE_SIDE;

namespace {

std::atomic<ULONG_PTR> nextToken{1};

bool SizeAllowed(INT width, INT height) {
    return width > 0 && height > 0 && width <= MAX_IMAGE_SIDE && height <= MAX_IMAGE_SIDE &&
           std::int64_t{width} * height <= MAX_IMAGE_PIXELS;
}

// A new picture of the given size, or null when memory is short.
GpImage* NewImage(int width, int height, PixelFormat format) {
    auto* image = new (std::nothrow) GpImage;
    if (image == nullptr) {
        return nullptr;
    }
    image->width = width;
    image->height = height;
    image->format = format;
    try {
        image->argb.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        delete image;
        return nullptr;
    }
    return image;
}

} // namespace

GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                        GdiplusStartupOutput* output) {
    if (token == nullptr || input == nullptr || input->GdiplusVersion != 1) {
        return InvalidParameter;
    }
    if (output != nullptr) {
        output->NotificationHook = nullptr;
        output->NotificationUnhook = nullptr;
    }
    *token = nextToken.fetch_add(1);
    return Ok;
}

void GdiplusShutdown(ULONG_PTR) {}

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image) {
    if (filename == nullptr || image == nullptr) {
        return InvalidParameter;
    }
    *image = nullptr;
    auto* loaded = new (std::nothrow) GpImage;
    if (loaded == nullptr) {
        return OutOfMemory;
    }
    GpStatus status = platform::gdiplus::IsGifFile(filename)
                          ? platform::gdiplus::DecodeGifFile(filename, loaded)
                      : platform::gdiplus::IsPhotoReaderFile(filename)
                          ? platform::gdiplus::DecodePhotoReaderFile(filename, loaded)
                          : platform::gdiplus::DecodeImageFile(filename, loaded);
    if (status != Ok) {
        delete loaded;
        return status;
    }
    *image = loaded;
    return Ok;
}

GpStatus GdipDisposeImage(GpImage* image) {
    if (image == nullptr) {
        return InvalidParameter;
    }
    delete image;
    return Ok;
}

GpStatus GdipGetImageWidth(GpImage* image, UINT* width) {
    if (image == nullptr || width == nullptr) {
        return InvalidParameter;
    }
    *width = static_cast<UINT>(image->width);
    return Ok;
}

GpStatus GdipGetImageHeight(GpImage* image, UINT* height) {
    if (image == nullptr || height == nullptr) {
        return InvalidParameter;
    }
    *height = static_cast<UINT>(image->height);
    return Ok;
}

GpStatus GdipGetImagePixelFormat(GpImage* image, PixelFormat* format) {
    if (image == nullptr || format == nullptr) {
        return InvalidParameter;
    }
    *format = image->format;
    return Ok;
}

GpStatus GdipGetImagePaletteSize(GpImage* image, INT* size) {
    if (image == nullptr || size == nullptr) {
        return InvalidParameter;
    }
    *size = static_cast<INT>(8 + 4 * image->palette.size());
    return Ok;
}

GpStatus GdipGetImagePalette(GpImage* image, ColorPalette* palette, INT size) {
    if (image == nullptr || palette == nullptr) {
        return InvalidParameter;
    }
    const std::size_t count = image->palette.size();
    if (size < 0 || static_cast<std::size_t>(size) < 8 + 4 * count) {
        return InsufficientBuffer;
    }
    UINT flags = 0;
    bool gray = true;
    for (ARGB c : image->palette) {
        if ((c >> 24) != 0xFF) {
            flags |= PaletteFlagsHasAlpha;
        }
        BYTE r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        gray = gray && r == g && g == b;
    }
    if (gray && count > 0) {
        flags |= PaletteFlagsGrayScale;
    }
    palette->Flags = flags;
    palette->Count = static_cast<UINT>(count);
    // Entries continues past the declared array, inside the caller's size bytes.
    if (count > 0) {
        std::memcpy(reinterpret_cast<BYTE*>(palette) + offsetof(ColorPalette, Entries),
                    image->palette.data(), 4 * count);
    }
    return Ok;
}

GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format,
                                   BYTE* scan0, GpBitmap** bitmap) {
    if (bitmap == nullptr) {
        return InvalidParameter;
    }
    *bitmap = nullptr;
    if (!SizeAllowed(width, height) ||
        (format != PixelFormat32bppRGB && format != PixelFormat32bppARGB &&
         format != PixelFormat24bppRGB)) {
        return InvalidParameter;
    }
    const int bytesPerPixel = format == PixelFormat24bppRGB ? 3 : 4;
    if (scan0 != nullptr && (stride < 0 ? -std::int64_t{stride} : std::int64_t{stride}) <
                                std::int64_t{width} * bytesPerPixel) {
        return InvalidParameter;
    }
    GpImage* image = NewImage(width, height, format);
    if (image == nullptr) {
        return OutOfMemory;
    }
    if (scan0 != nullptr) {
        for (int y = 0; y < height; ++y) {
            const BYTE* row = scan0 + static_cast<std::ptrdiff_t>(y) * stride;
            std::uint32_t* out = image->argb.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                const BYTE* p = row + x * bytesPerPixel;
                std::uint32_t rgb = p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16);
                std::uint32_t alpha =
                    format == PixelFormat32bppARGB ? std::uint32_t{p[3]} << 24 : 0xFF000000u;
                out[x] = alpha | rgb;
            }
        }
    } else {
        std::fill(image->argb.begin(), image->argb.end(),
                  format == PixelFormat32bppARGB ? 0u : 0xFF000000u);
    }
    *bitmap = image;
    return Ok;
}

GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format,
                              GpBitmap* source, GpBitmap** clone) {
    if (source == nullptr || clone == nullptr) {
        return InvalidParameter;
    }
    *clone = nullptr;
    if (!SizeAllowed(width, height) || x < 0 || y < 0 || x > source->width - width ||
        y > source->height - height) {
        return InvalidParameter;
    }
    if (format != PixelFormat24bppRGB && format != PixelFormat32bppRGB &&
        format != PixelFormat32bppARGB) {
        return NotImplemented;
    }
    GpImage* image = NewImage(width, height, format);
    if (image == nullptr) {
        return OutOfMemory;
    }
    const std::uint32_t opaque = format == PixelFormat32bppARGB ? 0u : 0xFF000000u;
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* in =
            source->argb.data() + static_cast<std::size_t>(y + row) * source->width + x;
        std::uint32_t* out = image->argb.data() + static_cast<std::size_t>(row) * width;
        for (int i = 0; i < width; ++i) {
            out[i] = in[i] | opaque;
        }
    }
    *clone = image;
    return Ok;
}

GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, void* data, GpBitmap** bitmap) {
    if (info == nullptr || data == nullptr || bitmap == nullptr) {
        return InvalidParameter;
    }
    *bitmap = nullptr;
    platform::gdi::DibLayout layout;
    if (!platform::gdi::ParseDibHeader(info, SIZE_MAX, &layout) ||
        !SizeAllowed(layout.width, layout.height)) {
        return InvalidParameter;
    }
    const bool indexed = layout.bitCount == 8;
    GpImage* image = NewImage(layout.width, layout.height,
                              indexed ? PixelFormat8bppIndexed : PixelFormat32bppRGB);
    if (image == nullptr) {
        return OutOfMemory;
    }
    const auto* pixels = static_cast<const std::uint8_t*>(data);
    try {
        if (indexed) {
            image->palette.resize(static_cast<std::size_t>(layout.colorCount));
            for (int i = 0; i < layout.colorCount; ++i) {
                image->palette[i] = 0xFF000000u | platform::gdi::DibColor(layout, i);
            }
            image->indices.resize(image->argb.size());
        }
    } catch (const std::bad_alloc&) {
        delete image;
        return OutOfMemory;
    }
    for (int y = 0; y < layout.height; ++y) {
        std::uint32_t* out = image->argb.data() + static_cast<std::size_t>(y) * layout.width;
        platform::gdi::ReadDibRow(layout, pixels, y, layout.width, out);
        for (int x = 0; x < layout.width; ++x) {
            out[x] |= 0xFF000000u;
        }
        if (indexed) {
            const int stored = layout.topDown ? y : layout.height - 1 - y;
            std::memcpy(image->indices.data() + static_cast<std::size_t>(y) * layout.width,
                        pixels + static_cast<std::size_t>(stored) * layout.stride,
                        static_cast<std::size_t>(layout.width));
        }
    }
    *bitmap = image;
    return Ok;
}
