// PNG through libpng's simplified interface, which keeps its messages in the image record
// instead of printing them.
#include "photoio/photo_decoders.h"

#include <png.h>
#include <zlib.h>

#include <new>

int DecodePng(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail,
              unsigned flags) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        SetDetail(detail, image.message);
        png_image_free(&image);
        return PHOTO_DAMAGED;
    }
    // A grey file kept grey is read as libpng would read it as RGB, one channel instead of three.
    const bool grey = (flags & PHOTO_KEEP_GREY) != 0 && (image.format & PNG_FORMAT_FLAG_COLOR) == 0;
    const int allocated = AllocatePhoto(image.width, image.height, photo, detail, grey ? 1 : 3);
    if (allocated != PHOTO_OK) {
        png_image_free(&image);
        return allocated;
    }
    image.format = grey ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
    // Transparent pixels go over black, as the image windows show them.
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, photo->rgb.data(), 0, nullptr)) {
        SetDetail(detail, image.message);
        png_image_free(&image);
        photo->rgb.clear();
        return PHOTO_DAMAGED;
    }
    // A warning (a bad ancillary chunk) leaves the picture whole.
    SetDetail(detail, (image.warning_or_error & PNG_IMAGE_WARNING) != 0 ? image.message : "");
    return PHOTO_OK;
}

namespace {

struct WriteState {
    std::vector<std::uint8_t>* bytes;
    std::string error;
    bool noMemory = false;
};

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    try {
        state->bytes->insert(state->bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        state->noMemory = true;
        png_error(png, "not enough memory");
    }
}

void OnFlush(png_structp) {}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    state->error = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

} // namespace

int EncodePng(const PhotoPixels& pixels, std::vector<std::uint8_t>* bytes, std::string* detail) {
    bytes->clear();
    WriteState state{bytes};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        SetDetail(detail, PhotoStatusText(PHOTO_NO_MEMORY));
        return PHOTO_NO_MEMORY;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        SetDetail(detail, state.error);
        return state.noMemory ? PHOTO_NO_MEMORY : PHOTO_CANNOT_WRITE;
    }
    png_set_write_fn(png, &state, OnWrite, OnFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.width),
                 static_cast<png_uint_32>(pixels.height), 8,
                 pixels.channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // A fast level: outputs are written often and read rarely.
    png_set_compression_level(png, 3);
    if (pixels.channels == 1) {
        // Grey images written here are disparity maps, long runs of equal values: run-length
        // deflate without row filters packs them smaller than adaptive filtering does, in a
        // fraction of its time (the filter trials cost most of it).
        png_set_compression_strategy(png, Z_RLE);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    }
    png_write_info(png, info);
    for (int y = 0; y < pixels.height; ++y) {
        png_write_row(png, pixels.data + pixels.stride * static_cast<std::size_t>(y));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return PHOTO_OK;
}
