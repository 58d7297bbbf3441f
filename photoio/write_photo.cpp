// Writing photos: JPEG or PNG chosen by the name, encoded in memory, then put in place through
// a temporary file in the same folder so that a failure half way leaves the old file whole.
#include "photoio/photo_decoders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool EndsWith(const char* path, const char* tail) {
    const std::size_t n = std::strlen(path), m = std::strlen(tail);
    return n > m && strcasecmp(path + n - m, tail) == 0;
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int Failed(std::string* detail, int error) {
    SetDetail(detail, std::strerror(error));
    errno = error; // for callers that map the cause to their own codes
    return PHOTO_CANNOT_WRITE;
}

} // namespace

bool PhotoFormatOfName(const char* path, PhotoFormat* format) {
    if (EndsWith(path, ".jpg") || EndsWith(path, ".jpeg")) {
        *format = PHOTO_JPEG;
        return true;
    }
    if (EndsWith(path, ".png")) {
        *format = PHOTO_PNG;
        return true;
    }
    return false;
}

int EncodePhoto(PhotoFormat format, const PhotoPixels& pixels, int quality,
                std::vector<std::uint8_t>* bytes, std::string* detail) {
    if (pixels.data == nullptr || (pixels.channels != 1 && pixels.channels != 3) ||
        pixels.width <= 0 || pixels.height <= 0 ||
        pixels.stride < static_cast<std::size_t>(pixels.width) * pixels.channels) {
        SetDetail(detail, "no pixels to write");
        return PHOTO_CANNOT_WRITE;
    }
    if (!PhotoSizeAllowed(pixels.width, pixels.height)) {
        SetDetail(detail, PhotoLimitText(pixels.width, pixels.height));
        return PHOTO_TOO_LARGE;
    }
    return format == PHOTO_JPEG ? EncodeJpeg(pixels,
                                             quality < 0     ? 0
                                             : quality > 100 ? 100
                                                             : quality,
                                             bytes, detail)
                                : EncodePng(pixels, bytes, detail);
}

int WriteFileAtomically(const char* path, const std::uint8_t* bytes, std::size_t size,
                        PhotoReplace replace, std::string* detail) {
    SetDetail(detail, "");
    struct stat existing {};
    if (::lstat(path, &existing) == 0) {
        if (S_ISLNK(existing.st_mode)) {
            SetDetail(detail, PhotoStatusText(PHOTO_LINK));
            return PHOTO_LINK;
        }
        if (replace == PHOTO_KEEP_EXISTING) {
            SetDetail(detail, PhotoStatusText(PHOTO_EXISTS));
            return PHOTO_EXISTS;
        }
    }
    std::string temporary;
    int fd = -1;
    std::random_device random;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.part", static_cast<unsigned>(random()));
        temporary = std::string(path) + suffix;
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return Failed(detail, errno);
    }
    // A full disk or a file-size limit shows in write, fsync or close; the old file stays.
    bool written = WriteAll(fd, bytes, size) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return Failed(detail, error);
    }
    if (replace == PHOTO_KEEP_EXISTING) {
        // Both fail on a taken name, so two writers never both get it; link serves file
        // systems that cannot rename without replacing.
        bool placed =
            ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path, RENAME_NOREPLACE) == 0;
        error = errno;
        if (!placed && (error == EINVAL || error == ENOSYS)) {
            placed = ::link(temporary.c_str(), path) == 0;
            error = errno;
        }
        ::unlink(temporary.c_str());
        if (!placed) {
            if (error == EEXIST) {
                SetDetail(detail, PhotoStatusText(PHOTO_EXISTS));
                return PHOTO_EXISTS;
            }
            return Failed(detail, error);
        }
        return PHOTO_OK;
    }
    // rename replaces a link that appeared since the check, never its target.
    if (std::rename(temporary.c_str(), path) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return Failed(detail, error);
    }
    return PHOTO_OK;
}

int WritePhoto(const char* path, PhotoFormat format, const PhotoPixels& pixels, int quality,
               PhotoReplace replace, std::string* detail) {
    std::vector<std::uint8_t> bytes;
    const int encoded = EncodePhoto(format, pixels, quality, &bytes, detail);
    if (encoded != PHOTO_OK) {
        return encoded;
    }
    return WriteFileAtomically(path, bytes.data(), bytes.size(), replace, detail);
}
