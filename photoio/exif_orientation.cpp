// The Exif orientation tag and the turn it asks for.
#include "photoio/jpeg_segments.h"
#include "photoio/mpo_reader.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t ORIENTATION_TAG = 0x0112;

} // namespace

int JpegOrientation(const std::uint8_t* data, std::size_t size) {
    int orientation = 1;
    ForEachJpegSegment(data, size, [&](const JpegSegment& segment) {
        if (segment.marker != 0xE1 || segment.length < 6 ||
            std::memcmp(data + segment.payload, "Exif\0\0", 6) != 0) {
            return true;
        }
        TiffFields tiff;
        if (!tiff.Open(data + segment.payload + 6, segment.length - 6)) {
            return false;
        }
        const std::size_t directory = tiff.FirstDirectory();
        if (directory == 0) {
            return false;
        }
        const std::size_t count = tiff.U16(directory);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = directory + 2 + 12 * i;
            if (!tiff.Fits(entry, 12)) {
                break;
            }
            if (tiff.U16(entry) == ORIENTATION_TAG && tiff.U16(entry + 2) == 3) {
                const std::uint32_t value = tiff.U16(entry + 8);
                orientation = value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
                break;
            }
        }
        return false;
    });
    return orientation;
}

int OrientPhoto(int orientation, Photo* photo) {
    if (orientation < 2 || orientation > 8 || photo->rgb.empty()) {
        return PHOTO_OK;
    }
    const int w = photo->width;
    const int h = photo->height;
    const bool swaps = orientation >= 5;
    const int outW = swaps ? h : w;
    const int outH = swaps ? w : h;
    std::vector<std::uint8_t> turned;
    try {
        turned.resize(photo->rgb.size());
    } catch (const std::bad_alloc&) {
        return PHOTO_NO_MEMORY;
    }
    for (int y = 0; y < outH; ++y) {
        for (int x = 0; x < outW; ++x) {
            int sx = x, sy = y;
            switch (orientation) {
            case 2:
                sx = w - 1 - x;
                break;
            case 3:
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            case 4:
                sy = h - 1 - y;
                break;
            case 5:
                sx = y;
                sy = x;
                break;
            case 6:
                sx = y;
                sy = h - 1 - x;
                break;
            case 7:
                sx = w - 1 - y;
                sy = h - 1 - x;
                break;
            case 8:
                sx = w - 1 - y;
                sy = x;
                break;
            }
            const std::uint8_t* from =
                photo->rgb.data() + (static_cast<std::size_t>(sy) * w + sx) * 3;
            std::uint8_t* to = turned.data() + (static_cast<std::size_t>(y) * outW + x) * 3;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    photo->rgb = std::move(turned);
    photo->width = outW;
    photo->height = outH;
    return PHOTO_OK;
}
