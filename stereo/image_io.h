// The seam through which the stereo application reads and writes image files. The
// application composes pixels; how they reach a file is the writer's business, one call per
// file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// File formats, numbered as the framework's image saving numbers them.
enum ImageFileFormat {
    IMAGE_FILE_JPEG = 1,
    IMAGE_FILE_PNG = 3,
};

// Result codes of readers and writers.
enum ImageIoResult {
    IMAGE_IO_OK = 0,
    IMAGE_IO_READ_FAILED = 1,  // missing, unreadable or not an image
    IMAGE_IO_WRITE_FAILED = 2, // the file could not be written
    IMAGE_IO_TOO_LARGE = 3,    // more pixels than the program makes or reads
    IMAGE_IO_EXISTS = 4,       // the name is taken (by a file or a link); nothing was written
    IMAGE_IO_NO_MEMORY = 5,    // memory ran out
};

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, rows of width
};

// Writers create new files only: a name already taken gives IMAGE_IO_EXISTS. reason (may be
// null) receives the cause of a failure in words.
struct ImageWriter {
    // Writes width x height pixels 0x00RRGGBB, rows stride pixels apart, to path in format.
    int (*writeColour)(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                       int width, int height, int stride, std::string* reason);
    // Writes width x height 8-bit grey values, rows stride bytes apart, to path as PNG.
    int (*writeGrey)(const char* path, const std::uint8_t* pixels, int width, int height,
                     int stride, std::string* reason);
};

// Reads the image file at path into image; on failure image is untouched and reason (may be
// null) says why; on success reason holds a warning about damaged data, or is empty.
using ImageReader = int (*)(const char* path, PixelImage* image, std::string* reason);
