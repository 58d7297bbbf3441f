// JPEG files that the photo reader decodes rather than the Qt backend: stereo multi-picture
// files, which open as their two views side by side, and photos with an Exif orientation,
// which open the right way up.
#include "photoio/mpo_reader.h"
#include "platform/gdiplus/gp_image.h"
#include "platform/user/text.h"

#include <cstdio>
#include <memory>
#include <new>
#include <strings.h>

namespace platform::gdiplus {
namespace {

// The index and the Exif block sit in the first segments, well inside this.
constexpr std::size_t HEAD_BYTES = 256 * 1024;

bool NamedMpo(const std::string& path) {
    return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".mpo") == 0;
}

} // namespace

bool IsPhotoReaderFile(const std::wstring& path) {
    const std::string name = WideToUtf8(path);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"),
                                                         std::fclose);
    if (!file) {
        return false;
    }
    std::vector<std::uint8_t> head(HEAD_BYTES);
    head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    if (head.size() < 3 || head[0] != 0xFF || head[1] != 0xD8 || head[2] != 0xFF) {
        return false;
    }
    return NamedMpo(name) || HasStereoIndex(head.data(), head.size()) ||
           JpegOrientation(head.data(), head.size()) != 1;
}

GpStatus DecodePhotoReaderFile(const std::wstring& path, GpImage* image) {
    Photo photo;
    switch (ReadPhoto(WideToUtf8(path).c_str(), &photo)) {
    case PHOTO_OK:
        break;
    case PHOTO_NOT_FOUND:
        return FileNotFound;
    case PHOTO_UNREADABLE:
        return AccessDenied;
    case PHOTO_TOO_LARGE:
    case PHOTO_NO_MEMORY:
        return OutOfMemory;
    default:
        return UnknownImageFormat;
    }
    try {
        image->argb.resize(static_cast<std::size_t>(photo.width) * photo.height);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    image->width = photo.width;
    image->height = photo.height;
    image->format = PixelFormat32bppRGB;
    image->indices.clear();
    image->palette.clear();
    const std::uint8_t* from = photo.rgb.data();
    for (std::uint32_t& to : image->argb) {
        to = 0xFF000000u | std::uint32_t{from[0]} << 16 | std::uint32_t{from[1]} << 8 | from[2];
        from += 3;
    }
    return Ok;
}

} // namespace platform::gdiplus
