// The largest picture the program makes, reads or writes, stated once for every reader, writer
// and image window. A side stops at JPEG's own limit so that every format can hold what can be
// created; the pixel count keeps a 32-bit picture within half a gigabyte.
#pragma once

#include <cstdint>

constexpr int PHOTO_MAX_SIDE = 65500;
constexpr std::int64_t PHOTO_MAX_PIXELS = std::int64_t{1} << 27;

constexpr bool PhotoSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= PHOTO_MAX_SIDE && height <= PHOTO_MAX_SIDE &&
           width * height <= PHOTO_MAX_PIXELS;
}
