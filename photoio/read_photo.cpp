// Reading a photo file: the file's bytes, the format from its first bytes, and the words for
// each status.
#include "photoio/mpo_reader.h"
#include "photoio/photo_decoders.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Larger files are refused before reading: no picture within the pixel limit needs more.
constexpr std::int64_t MAX_FILE_BYTES = std::int64_t{1} << 30;

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* magic, std::size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

} // namespace

void SetDetail(std::string* detail, const std::string& text) {
    if (detail != nullptr) {
        *detail = text;
    }
}

int AllocatePhoto(std::int64_t width, std::int64_t height, Photo* photo, std::string* detail,
                  int channels) {
    if (!PhotoSizeAllowed(width, height)) {
        SetDetail(detail, PhotoLimitText(width, height));
        return PHOTO_TOO_LARGE;
    }
    try {
        photo->rgb.assign(static_cast<std::size_t>(width * height * channels), 0);
    } catch (const std::bad_alloc&) {
        SetDetail(detail, "not enough memory for " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels");
        return PHOTO_NO_MEMORY;
    }
    photo->width = static_cast<int>(width);
    photo->height = static_cast<int>(height);
    photo->channels = channels;
    return PHOTO_OK;
}

std::string PhotoLimitText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) +
           " pixels is past the limit of " + std::to_string(PHOTO_MAX_SIDE) + " a side and " +
           std::to_string(PHOTO_MAX_PIXELS) + " in all";
}

const char* PhotoStatusText(int status) {
    switch (status) {
    case PHOTO_OK:
        return "done";
    case PHOTO_NOT_FOUND:
        return "no such file";
    case PHOTO_UNREADABLE:
        return "not a readable file";
    case PHOTO_NOT_A_PHOTO:
        return "not a picture in a format this program reads";
    case PHOTO_DAMAGED:
        return "the file is cut short or damaged";
    case PHOTO_TOO_LARGE:
        return "the picture is too large";
    case PHOTO_NO_MEMORY:
        return "not enough memory";
    case PHOTO_CANNOT_WRITE:
        return "the file could not be written";
    case PHOTO_EXISTS:
        return "a file of that name exists";
    case PHOTO_LINK:
        return "a symbolic link stands at that name";
    case PHOTO_UNKNOWN_FORMAT:
        return "the name does not end in .jpg, .jpeg or .png";
    default:
        return "unknown result";
    }
}

int DecodePhoto(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail,
                unsigned flags) {
    Photo decoded;
    int status = PHOTO_NOT_A_PHOTO;
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3)) {
        status = DecodeJpegPhoto(data, size, &decoded, detail);
    } else if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) {
        status = DecodePng(data, size, &decoded, detail, flags);
    } else if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6)) {
        status = DecodeGif(data, size, &decoded, detail);
    } else if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4)) {
        status = DecodeTiff(data, size, &decoded, detail);
    } else if (StartsWith(data, size, "BM", 2)) {
        status = DecodeBmp(data, size, &decoded, detail);
    } else if (StartsWith(data, size, "\0\0\1\0", 4)) {
        status = DecodeIco(data, size, &decoded, detail);
    } else {
        SetDetail(detail, PhotoStatusText(PHOTO_NOT_A_PHOTO));
    }
    if (status == PHOTO_OK) {
        *photo = std::move(decoded);
    }
    return status;
}

int ReadPhoto(const char* path, Photo* photo, std::string* detail, unsigned flags) {
    SetDetail(detail, "");
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int status = errno == ENOENT || errno == ENOTDIR ? PHOTO_NOT_FOUND : PHOTO_UNREADABLE;
        SetDetail(detail, std::strerror(errno));
        return status;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        SetDetail(detail, "not a regular file");
        return PHOTO_UNREADABLE;
    }
    if (info.st_size > MAX_FILE_BYTES) {
        ::close(fd);
        SetDetail(detail, "the file is larger than any picture this program reads");
        return PHOTO_TOO_LARGE;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        SetDetail(detail, PhotoStatusText(PHOTO_NO_MEMORY));
        return PHOTO_NO_MEMORY;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    if (bytes.empty()) {
        SetDetail(detail, "the file is empty");
        return PHOTO_NOT_A_PHOTO;
    }
    // A file named .mpo must hold a stereo pair, index or not.
    const std::size_t length = std::strlen(path);
    if (length >= 4 && strcasecmp(path + length - 4, ".mpo") == 0) {
        Photo pair;
        const int status = DecodeMpo(bytes.data(), bytes.size(), &pair, detail);
        if (status == PHOTO_OK) {
            *photo = std::move(pair);
        }
        return status;
    }
    return DecodePhoto(bytes.data(), bytes.size(), photo, detail, flags);
}
