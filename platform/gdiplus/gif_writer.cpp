// GIF writing through giflib. Indexed pictures keep their indices and table; others are
// reduced to at most 256 colours: exactly when they have that few, otherwise by the photo
// library's quantiser (libimagequant), which finds a photo's palette in a fraction of a second.
#include "photoio/gif_animation.h"
#include "platform/gdiplus/gp_image.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

struct Indexed {
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
};

bool Quantise(const GpImage& image, Indexed* out) {
    out->indices.resize(image.argb.size());
    // Few colours: an exact table, in order of first appearance.
    std::unordered_map<std::uint32_t, std::uint8_t> exact;
    bool fits = true;
    for (std::size_t i = 0; i < image.argb.size() && fits; ++i) {
        const std::uint32_t rgb = image.argb[i] & 0xFFFFFF;
        auto found = exact.find(rgb);
        if (found == exact.end()) {
            if (exact.size() == 256) {
                fits = false;
                break;
            }
            found = exact.emplace(rgb, static_cast<std::uint8_t>(exact.size())).first;
            out->palette.push_back(rgb);
        }
        out->indices[i] = found->second;
    }
    if (fits) {
        return true;
    }
    // No dithering: a picture saved as GIF keeps each pixel as close as the palette allows.
    std::vector<std::uint8_t> rgb(image.argb.size() * 3);
    for (std::size_t i = 0; i < image.argb.size(); ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(image.argb[i] >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(image.argb[i] >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(image.argb[i]);
    }
    const PhotoPixels frame{rgb.data(), image.width, image.height, 3,
                            static_cast<std::size_t>(image.width) * 3};
    std::vector<std::vector<std::uint8_t>> indices;
    out->palette.clear();
    if (QuantiseFrames(&frame, 1, 0.0f, &indices, &out->palette, nullptr) != PHOTO_OK) {
        return false;
    }
    out->indices = std::move(indices[0]);
    return true;
}

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

} // namespace

namespace platform::gdiplus {

GpStatus EncodeGif(const GpImage& image, std::vector<std::uint8_t>* bytes) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535) {
        return InvalidParameter;
    }
    Indexed indexed;
    try {
        if (!image.indices.empty()) {
            indexed.indices = image.indices;
            for (std::uint32_t c : image.palette) {
                indexed.palette.push_back(c & 0xFFFFFF);
            }
        } else if (!Quantise(image, &indexed)) {
            return OutOfMemory;
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    // The table must cover every index used and have a power-of-two size.
    int used = 1;
    for (std::uint8_t i : indexed.indices) {
        used = std::max(used, i + 1);
    }
    used = std::max(used, static_cast<int>(indexed.palette.size()));
    int tableSize = 2;
    while (tableSize < used) {
        tableSize *= 2;
    }
    indexed.palette.resize(static_cast<std::size_t>(tableSize), 0);
    std::vector<GifColorType> colours(static_cast<std::size_t>(tableSize));
    for (int i = 0; i < tableSize; ++i) {
        colours[i].Red = (indexed.palette[i] >> 16) & 0xFF;
        colours[i].Green = (indexed.palette[i] >> 8) & 0xFF;
        colours[i].Blue = indexed.palette[i] & 0xFF;
    }
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(tableSize, colours.data()));
    if (!map) {
        return OutOfMemory;
    }
    bytes->clear();
    int error = 0;
    GifFileType* raw = EGifOpen(bytes, WriteToVector, &error);
    if (raw == nullptr) {
        return GenericError;
    }
    std::unique_ptr<GifFileType, GifCloser> gif(raw);
    int depth = 1;
    while ((1 << depth) < tableSize) {
        ++depth;
    }
    if (EGifPutScreenDesc(raw, image.width, image.height, depth, 0, map.get()) == GIF_ERROR ||
        EGifPutImageDesc(raw, 0, 0, image.width, image.height, false, nullptr) == GIF_ERROR) {
        return GenericError;
    }
    for (int y = 0; y < image.height; ++y) {
        auto* line = indexed.indices.data() + static_cast<std::size_t>(y) * image.width;
        if (EGifPutLine(raw, line, image.width) == GIF_ERROR) {
            return GenericError;
        }
    }
    GifFileType* closing = gif.release();
    if (EGifCloseFile(closing, &error) == GIF_ERROR) {
        return GenericError;
    }
    return Ok;
}

} // namespace platform::gdiplus
