// Photo files without a window system: JPEG, PNG, GIF, TIFF, BMP and ICO decoded into plain
// 8-bit RGB, and JPEG and PNG written through a temporary file and a rename. Decoders print
// nothing; every refusal comes back as a status and, when asked for, a sentence.
#pragma once

#include "photoio/photo_limits.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum PhotoStatus {
    PHOTO_OK = 0,
    PHOTO_NOT_FOUND = 1,       // no such file
    PHOTO_UNREADABLE = 2,      // not a regular file, or no permission
    PHOTO_NOT_A_PHOTO = 3,     // no format this library reads
    PHOTO_DAMAGED = 4,         // cut short or malformed
    PHOTO_TOO_LARGE = 5,       // past PHOTO_MAX_SIDE / PHOTO_MAX_PIXELS (or the format's own limit)
    PHOTO_NO_MEMORY = 6,       // allowed, but memory ran out
    PHOTO_CANNOT_WRITE = 7,    // the file system refused the write (full, limit, permission)
    PHOTO_EXISTS = 8,          // PHOTO_KEEP_EXISTING and the name is taken
    PHOTO_LINK = 9,            // a symbolic link stands at the destination
    PHOTO_UNKNOWN_FORMAT = 10, // an output name without .jpg/.jpeg/.png
};

// Why width x height is refused: "60000 x 60000 pixels is past the limit of ...".
std::string PhotoLimitText(std::int64_t width, std::int64_t height);

// The status in a few words ("the file is cut short or damaged").
const char* PhotoStatusText(int status);

struct Photo {
    int width = 0;
    int height = 0;
    int channels = 3;              // 1 only for a grey file read with PHOTO_KEEP_GREY
    std::vector<std::uint8_t> rgb; // width x height x channels bytes, top-down, the right way up
};

// ReadPhoto's flags. PHOTO_KEEP_GREY: a grey PNG comes as one byte a pixel (channels 1), the
// value each of its three channels would have had, so a reader that wants grey neither expands
// nor converts it.
enum PhotoReadFlags : unsigned { PHOTO_KEEP_GREY = 1 };

// Reads the photo at path: JPEGs turned by their Exif orientation, a stereo multi-picture file
// (named .mpo, or indexed as one) as its two views side by side, left eye first. On success *photo
// holds it and *detail (may be null) a warning when the data was damaged but complete (a JPEG with
// bad entropy data); on failure *photo is untouched and *detail says why. The size is checked from
// the header before any pixel memory is taken.
int ReadPhoto(const char* path, Photo* photo, std::string* detail = nullptr, unsigned flags = 0);
// The same on bytes in memory.
int DecodePhoto(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail,
                unsigned flags = 0);

enum PhotoFormat { PHOTO_JPEG, PHOTO_PNG };

// How a write treats a name that exists. Neither ever follows a symbolic link there.
enum PhotoReplace {
    PHOTO_REPLACE,       // the new file replaces it in one step
    PHOTO_KEEP_EXISTING, // PHOTO_EXISTS, the old file untouched
};

// Pixels to write: channels 1 (grey) or 3 (RGB) bytes a pixel, rows stride bytes apart.
struct PhotoPixels {
    const std::uint8_t* data;
    int width;
    int height;
    int channels;
    std::size_t stride;
};

// PHOTO_JPEG for .jpg/.jpeg, PHOTO_PNG for .png (any case); false for any other name.
bool PhotoFormatOfName(const char* path, PhotoFormat* format);

// Encodes pixels (JPEG at quality 0..100; ignored for PNG) into bytes. Grey PNGs, the programs'
// disparity maps, are packed for long runs of equal values.
int EncodePhoto(PhotoFormat format, const PhotoPixels& pixels, int quality,
                std::vector<std::uint8_t>* bytes, std::string* detail);

// Writes bytes to path through a temporary file in the same folder, then a rename (or a link
// for PHOTO_KEEP_EXISTING), so that the name holds the old file or the whole new one.
int WriteFileAtomically(const char* path, const std::uint8_t* bytes, std::size_t size,
                        PhotoReplace replace, std::string* detail);

// EncodePhoto, then WriteFileAtomically.
int WritePhoto(const char* path, PhotoFormat format, const PhotoPixels& pixels, int quality,
               PhotoReplace replace, std::string* detail = nullptr);
