// The seam through which the stereo application reads and writes image files. The
// application composes pixels; how they reach a file is the writer's business, one call per
// file.
#pragma once

#include <cstdint>
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
    IMAGE_IO_TOO_LARGE = 3,    // more pixels than can be held
};

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, rows of width
};

struct ImageWriter {
    // Writes width x height pixels 0x00RRGGBB, rows stride pixels apart, to path in format.
    int (*writeColour)(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                       int width, int height, int stride);
    // Writes width x height 8-bit grey values, rows stride bytes apart, to path as PNG.
    int (*writeGrey)(const char* path, const std::uint8_t* pixels, int width, int height,
                     int stride);
};

// Reads the image file at path into image; on failure image is untouched.
using ImageReader = int (*)(const char* path, PixelImage* image);
