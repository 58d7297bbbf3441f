// Image files through the photo library.
#include "stereo/photo_files.h"

#include "photoio/photo_io.h"

#include <cstddef>
#include <new>
#include <vector>

namespace {

void Say(std::string* reason, const std::string& text) {
    if (reason != nullptr) {
        *reason = text;
    }
}

// The status's words, then the codec's own when they add something.
std::string Explain(int status, const std::string& detail) {
    const std::string words = PhotoStatusText(status);
    return detail.empty() || detail == words ? words : words + " (" + detail + ")";
}

} // namespace

int ImageIoResultOfWrite(int status, const std::string& detail, std::string* reason) {
    switch (status) {
    case PHOTO_OK:
        return IMAGE_IO_OK;
    case PHOTO_EXISTS:
    case PHOTO_LINK:
        Say(reason, PhotoStatusText(status));
        return IMAGE_IO_EXISTS;
    case PHOTO_TOO_LARGE:
        Say(reason, detail);
        return IMAGE_IO_TOO_LARGE;
    case PHOTO_NO_MEMORY:
        Say(reason, PhotoStatusText(status));
        return IMAGE_IO_NO_MEMORY;
    default:
        Say(reason, detail.empty() ? std::string(PhotoStatusText(status)) : detail);
        return IMAGE_IO_WRITE_FAILED;
    }
}

void PixelsToRgb(const std::uint32_t* from, int count, std::uint8_t* to) {
    for (int x = 0; x < count; ++x, to += 3) {
        to[0] = static_cast<std::uint8_t>(from[x] >> 16);
        to[1] = static_cast<std::uint8_t>(from[x] >> 8);
        to[2] = static_cast<std::uint8_t>(from[x]);
    }
}

int ReadImageFile(const char* path, PixelImage* image, std::string* reason) {
    Photo photo;
    std::string detail;
    const int status = ReadPhoto(path, &photo, &detail);
    if (status != PHOTO_OK) {
        Say(reason, status == PHOTO_TOO_LARGE ? detail : Explain(status, detail));
        return status == PHOTO_TOO_LARGE   ? IMAGE_IO_TOO_LARGE
               : status == PHOTO_NO_MEMORY ? IMAGE_IO_NO_MEMORY
                                           : IMAGE_IO_READ_FAILED;
    }
    try {
        PixelImage read;
        read.width = photo.width;
        read.height = photo.height;
        read.pixels.resize(static_cast<std::size_t>(photo.width) * photo.height);
        const std::uint8_t* from = photo.rgb.data();
        for (std::uint32_t& to : read.pixels) {
            to = std::uint32_t{from[0]} << 16 | std::uint32_t{from[1]} << 8 | from[2];
            from += 3;
        }
        *image = std::move(read);
    } catch (const std::bad_alloc&) {
        Say(reason, PhotoStatusText(PHOTO_NO_MEMORY));
        return IMAGE_IO_NO_MEMORY;
    }
    Say(reason, detail);
    return IMAGE_IO_OK;
}

int WriteColourFile(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                    int width, int height, int stride, std::string* reason) {
    if (width <= 0 || height <= 0 || stride < width) {
        Say(reason, "no pixels to write");
        return IMAGE_IO_WRITE_FAILED;
    }
    if (!PhotoSizeAllowed(width, height)) {
        return ImageIoResultOfWrite(PHOTO_TOO_LARGE, PhotoLimitText(width, height), reason);
    }
    std::vector<std::uint8_t> rgb;
    try {
        rgb.resize(static_cast<std::size_t>(width) * height * 3);
    } catch (const std::bad_alloc&) {
        return ImageIoResultOfWrite(PHOTO_NO_MEMORY, "", reason);
    }
    for (int y = 0; y < height; ++y) {
        PixelsToRgb(pixels + static_cast<std::size_t>(y) * stride, width,
                    rgb.data() + static_cast<std::size_t>(y) * width * 3);
    }
    const PhotoPixels image{rgb.data(), width, height, 3, static_cast<std::size_t>(width) * 3};
    std::string detail;
    const int status = WritePhoto(path, format == IMAGE_FILE_JPEG ? PHOTO_JPEG : PHOTO_PNG, image,
                                  100, PHOTO_KEEP_EXISTING, &detail);
    return ImageIoResultOfWrite(status, detail, reason);
}

int WriteGreyPng(const char* path, const std::uint8_t* pixels, int width, int height, int stride,
                 std::string* reason) {
    if (width <= 0 || height <= 0 || stride < width) {
        Say(reason, "no pixels to write");
        return IMAGE_IO_WRITE_FAILED;
    }
    const PhotoPixels image{pixels, width, height, 1, static_cast<std::size_t>(stride)};
    std::string detail;
    const int status = WritePhoto(path, PHOTO_PNG, image, 0, PHOTO_KEEP_EXISTING, &detail);
    return ImageIoResultOfWrite(status, detail, reason);
}
