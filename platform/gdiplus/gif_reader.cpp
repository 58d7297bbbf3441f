// GIF reading through giflib, so that 8-bit pictures keep their indices and colour table:
// the first frame on the logical screen, with its transparent index.
#include "platform/gdiplus/gp_image.h"
#include "platform/user/text.h"

#include <gif_lib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The transparent index of a graphic control extension, or -1.
int TransparentIndex(const GifByteType* block) {
    if (block == nullptr || block[0] < 4) {
        return -1;
    }
    return (block[1] & 0x01) != 0 ? block[4] : -1;
}

GpStatus ReadFrame(GifFileType* gif, int transparent, GpImage* image) {
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr || map->ColorCount <= 0 || desc.Width <= 0 || desc.Height <= 0) {
        return UnknownImageFormat;
    }
    const int width = image->width, height = image->height;
    image->palette.resize(static_cast<std::size_t>(map->ColorCount));
    for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        const std::uint32_t alpha = i == transparent ? 0u : 0xFF000000u;
        image->palette[i] = alpha | (std::uint32_t{c.Red} << 16) | (c.Green << 8) | c.Blue;
    }
    // Rows in file order; interlaced frames store every 8th row first, and so on.
    std::vector<int> order;
    if (desc.Interlace) {
        const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = starts[pass]; y < desc.Height; y += steps[pass]) {
                order.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < desc.Height; ++y) {
            order.push_back(y);
        }
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    for (int y : order) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) {
            return UnknownImageFormat; // cut short or corrupt
        }
        const int row = desc.Top + y;
        if (row < 0 || row >= height) {
            continue;
        }
        for (int x = 0; x < desc.Width; ++x) {
            const int column = desc.Left + x;
            if (column < 0 || column >= width) {
                continue;
            }
            const std::size_t at = static_cast<std::size_t>(row) * width + column;
            image->indices[at] = line[x];
            image->argb[at] = line[x] < map->ColorCount ? image->palette[line[x]] : 0;
        }
    }
    return Ok;
}

} // namespace

namespace platform::gdiplus {

bool IsGifFile(const std::wstring& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(WideToUtf8(path).c_str(), "rb"),
                                                         std::fclose);
    char signature[4] = {};
    return file && std::fread(signature, 1, 4, file.get()) == 4 &&
           std::memcmp(signature, "GIF8", 4) == 0;
}

GpStatus DecodeGifFile(const std::wstring& path, GpImage* image) {
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(WideToUtf8(path).c_str(), &error));
    if (!gif) {
        return error == D_GIF_ERR_OPEN_FAILED ? FileNotFound : UnknownImageFormat;
    }
    const int width = gif->SWidth, height = gif->SHeight;
    if (width <= 0 || height <= 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE ||
        std::int64_t{width} * height > MAX_IMAGE_PIXELS) {
        return width <= 0 || height <= 0 ? UnknownImageFormat : OutOfMemory;
    }
    int transparent = -1;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) {
            return UnknownImageFormat;
        }
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) {
                return UnknownImageFormat;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE) {
                transparent = TransparentIndex(block);
            }
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) {
                    return UnknownImageFormat;
                }
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.get()) == GIF_ERROR) {
                return UnknownImageFormat;
            }
            try {
                image->width = width;
                image->height = height;
                image->format = PixelFormat8bppIndexed;
                image->argb.assign(static_cast<std::size_t>(width) * height, 0);
                image->indices.assign(image->argb.size(),
                                      static_cast<std::uint8_t>(gif->SBackGroundColor));
                return ReadFrame(gif.get(), transparent, image);
            } catch (const std::bad_alloc&) {
                return OutOfMemory;
            }
        }
    } while (record != TERMINATE_RECORD_TYPE);
    return UnknownImageFormat; // no frame at all
}

} // namespace platform::gdiplus
