// TIFF through libtiff, from memory, with the library's messages kept per file rather than
// printed. The first directory is the picture; libtiff's RGBA reader covers its many layouts.
#include "photoio/photo_decoders.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::string error;
};

tmsize_t Read(thandle_t handle, void* to, tmsize_t count) {
    auto* source = static_cast<Source*>(handle);
    const std::size_t n = std::min(static_cast<std::size_t>(count), source->size - source->at);
    std::memcpy(to, source->data + source->at, n);
    source->at += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t Write(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    auto* source = static_cast<Source*>(handle);
    const toff_t base = whence == SEEK_CUR ? source->at : whence == SEEK_END ? source->size : 0;
    const toff_t target = base + offset;
    source->at = static_cast<std::size_t>(std::min<toff_t>(target, source->size));
    return target;
}

int Close(thandle_t) {
    return 0;
}

toff_t Size(thandle_t handle) {
    return static_cast<Source*>(handle)->size;
}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* source = static_cast<Source*>(user);
    if (source->error.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        source->error = text;
    }
    return 1; // handled: nothing printed
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace

int DecodeTiff(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    Source source{data, size};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        return PHOTO_NO_MEMORY;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &source);
    TIFF* tiff = TIFFClientOpenExt("photo", "rm", &source, Read, Write, Seek, Close, Size, nullptr,
                                   nullptr, options);
    TIFFOpenOptionsFree(options);
    if (tiff == nullptr) {
        SetDetail(detail, source.error.empty() ? "the file is damaged" : source.error);
        return PHOTO_DAMAGED;
    }
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    std::vector<std::uint32_t> raster;
    int status = AllocatePhoto(width, height, photo, detail);
    if (status == PHOTO_OK) {
        try {
            raster.resize(static_cast<std::size_t>(width) * height);
        } catch (const std::bad_alloc&) {
            status = PHOTO_NO_MEMORY;
            SetDetail(detail, PhotoStatusText(status));
        }
    }
    if (status == PHOTO_OK &&
        (!TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 1) ||
         !source.error.empty())) {
        status = PHOTO_DAMAGED;
        SetDetail(detail, source.error.empty() ? "the file is damaged" : source.error);
    }
    TIFFClose(tiff);
    if (status != PHOTO_OK) {
        return status;
    }
    // Pixels are ABGR words; transparent ones go over black, as premultiplied.
    std::uint8_t* to = photo->rgb.data();
    for (const std::uint32_t pixel : raster) {
        *to++ = static_cast<std::uint8_t>(TIFFGetR(pixel));
        *to++ = static_cast<std::uint8_t>(TIFFGetG(pixel));
        *to++ = static_cast<std::uint8_t>(TIFFGetB(pixel));
    }
    return PHOTO_OK;
}
