// An image writer that keeps every file in memory, in the order written, and can be told to
// fail on names containing a given text.
#pragma once

#include "stereo/image_io.h"

#include <cstdint>
#include <string>
#include <vector>

struct WrittenFile {
    std::string path;
    int format = 0; // IMAGE_FILE_JPEG or IMAGE_FILE_PNG; 0 for grey maps
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> colour; // unpadded rows
    std::vector<std::uint8_t> grey;
};

struct WriterLog {
    std::vector<WrittenFile> files;
    std::string failOn; // a write whose path contains this fails (when not empty)
};

inline WriterLog& Written() {
    static WriterLog log;
    return log;
}

inline bool ShouldFail(const char* path) {
    return !Written().failOn.empty() &&
           std::string(path).find(Written().failOn) != std::string::npos;
}

inline int RecordColour(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                        int width, int height, int stride, std::string* reason) {
    if (ShouldFail(path)) {
        return IMAGE_IO_WRITE_FAILED;
    }
    WrittenFile file{path, format, width, height, {}, {}};
    for (int y = 0; y < height; ++y) {
        file.colour.insert(file.colour.end(), pixels + y * stride, pixels + y * stride + width);
    }
    Written().files.push_back(std::move(file));
    return IMAGE_IO_OK;
}

inline int RecordGrey(const char* path, const std::uint8_t* pixels, int width, int height,
                      int stride, std::string* reason) {
    if (ShouldFail(path)) {
        return IMAGE_IO_WRITE_FAILED;
    }
    WrittenFile file{path, 0, width, height, {}, {}};
    for (int y = 0; y < height; ++y) {
        file.grey.insert(file.grey.end(), pixels + y * stride, pixels + y * stride + width);
    }
    Written().files.push_back(std::move(file));
    return IMAGE_IO_OK;
}

inline constexpr ImageWriter RECORDING_WRITER = {RecordColour, RecordGrey};

inline void ResetWritten(const char* failOn = "") {
    Written() = WriterLog{};
    Written().failOn = failOn;
}
