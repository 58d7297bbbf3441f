// Animated GIF writing: one shared palette for all frames, so that colours do not flicker from
// frame to frame, and a looping application extension.
#include "photoio/gif_animation.h"
#include "photoio/photo_decoders.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr int PALETTE_SIZE = 256;
// Of 1 (best) to 10 (fastest): 8 finds a photo's palette about four times faster than the
// default for a barely visible loss (bench/photoio).
constexpr int QUANTISER_SPEED = 8;

struct LiqDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_histogram* p) const { liq_histogram_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};
template <typename T>
using Liq = std::unique_ptr<T, LiqDeleter>;

int Output(GifFileType* gif, const GifByteType* data, int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    try {
        bytes->insert(bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

int Failed(std::string* detail, const std::string& text) {
    SetDetail(detail, text);
    return PHOTO_CANNOT_WRITE;
}

} // namespace

int QuantiseFrames(const PhotoPixels* frames, int count, float dither,
                   std::vector<std::vector<std::uint8_t>>* indices,
                   std::vector<std::uint32_t>* palette, std::string* detail) {
    if (count < 1 || frames[0].channels != 3 || frames[0].width < 1 || frames[0].height < 1) {
        return Failed(detail, "no frames to quantise");
    }
    const int w = frames[0].width;
    const int h = frames[0].height;
    const std::size_t pixels = static_cast<std::size_t>(w) * h;
    std::vector<std::vector<std::uint8_t>> rgba(static_cast<std::size_t>(count));
    try {
        indices->assign(static_cast<std::size_t>(count), {});
        for (int i = 0; i < count; ++i) {
            const PhotoPixels& f = frames[i];
            if (f.width != w || f.height != h || f.channels != 3) {
                return Failed(detail, "the frames differ in size");
            }
            std::vector<std::uint8_t>& to = rgba[i];
            to.resize(pixels * 4);
            for (int y = 0; y < h; ++y) {
                const std::uint8_t* from = f.data + f.stride * static_cast<std::size_t>(y);
                std::uint8_t* row = to.data() + static_cast<std::size_t>(y) * w * 4;
                for (int x = 0; x < w; ++x) {
                    row[4 * x] = from[3 * x];
                    row[4 * x + 1] = from[3 * x + 1];
                    row[4 * x + 2] = from[3 * x + 2];
                    row[4 * x + 3] = 255;
                }
            }
            (*indices)[i].resize(pixels);
        }
    } catch (const std::bad_alloc&) {
        SetDetail(detail, PhotoStatusText(PHOTO_NO_MEMORY));
        return PHOTO_NO_MEMORY;
    }

    Liq<liq_attr> attr(liq_attr_create());
    if (!attr) {
        return Failed(detail, "the colour quantiser could not start");
    }
    liq_set_max_colors(attr.get(), PALETTE_SIZE);
    liq_set_speed(attr.get(), QUANTISER_SPEED);
    Liq<liq_histogram> histogram(liq_histogram_create(attr.get()));
    std::vector<Liq<liq_image>> images;
    for (int i = 0; i < count; ++i) {
        images.emplace_back(liq_image_create_rgba(attr.get(), rgba[i].data(), w, h, 0));
        if (!images.back() || !histogram ||
            liq_histogram_add_image(histogram.get(), attr.get(), images.back().get()) != LIQ_OK) {
            return Failed(detail, "the colour quantiser refused the frames");
        }
    }
    liq_result* raw = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &raw) != LIQ_OK) {
        return Failed(detail, "the colours could not be reduced to a palette");
    }
    Liq<liq_result> result(raw);
    liq_set_dithering_level(result.get(), dither);
    for (int i = 0; i < count; ++i) {
        if (liq_write_remapped_image(result.get(), images[i].get(), (*indices)[i].data(), pixels) !=
            LIQ_OK) {
            return Failed(detail, "the frames could not be mapped to the palette");
        }
    }
    const liq_palette* colours = liq_get_palette(result.get());
    palette->clear();
    for (unsigned i = 0; i < colours->count && i < PALETTE_SIZE; ++i) {
        const liq_color& c = colours->entries[i];
        palette->push_back(std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b);
    }
    return PHOTO_OK;
}

int EncodeLoopingGif(const PhotoPixels* frames, int count, int delayMs,
                     std::vector<std::uint8_t>* bytes, std::string* detail) {
    if (count < 1 || frames[0].width > 65535 || frames[0].height > 65535) {
        return Failed(detail, "no frames a GIF can hold");
    }
    std::vector<std::vector<std::uint8_t>> indices;
    std::vector<std::uint32_t> palette;
    if (const int status = QuantiseFrames(frames, count, 1.0f, &indices, &palette, detail);
        status != PHOTO_OK) {
        return status;
    }
    const int w = frames[0].width;
    const int h = frames[0].height;
    GifColorType colours[PALETTE_SIZE] = {};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colours[i] = {static_cast<GifByteType>(palette[i] >> 16),
                      static_cast<GifByteType>(palette[i] >> 8),
                      static_cast<GifByteType>(palette[i])};
    }

    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Output, &error);
    if (gif == nullptr) {
        return Failed(detail, GifErrorString(error));
    }
    ColorMapObject* map = GifMakeMapObject(PALETTE_SIZE, colours);
    EGifSetGifVersion(gif, true);
    bool ok = map != nullptr && EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK;
    // NETSCAPE2.0 application block: loop count 0 means for ever.
    const GifByteType loop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = std::clamp((delayMs + 5) / 10, 0, 65535);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    for (int i = 0; ok && i < count; ++i) {
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < h; ++y) {
            ok = EGifPutLine(gif, indices[i].data() + static_cast<std::size_t>(y) * w, w) == GIF_OK;
        }
    }
    const int lastError = gif->Error;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    if (!ok) {
        return Failed(detail, GifErrorString(lastError != 0 ? lastError : error));
    }
    *bytes = std::move(out);
    return PHOTO_OK;
}

int WriteLoopingGif(const char* path, const PhotoPixels* frames, int count, int delayMs,
                    PhotoReplace replace, std::string* detail) {
    std::vector<std::uint8_t> bytes;
    const int encoded = EncodeLoopingGif(frames, count, delayMs, &bytes, detail);
    if (encoded != PHOTO_OK) {
        return encoded;
    }
    return WriteFileAtomically(path, bytes.data(), bytes.size(), replace, detail);
}
