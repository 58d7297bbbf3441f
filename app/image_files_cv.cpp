// Image files through OpenCV's image codecs.
#include "app/image_files_cv.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstddef>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

int ReadImageFileCv(const char* path, PixelImage* image) {
    // Checked here so that a missing file gets our message alone, without the codec's warning.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return IMAGE_IO_READ_FAILED;
    }
    try {
        const cv::Mat bgr = cv::imread(path, cv::IMREAD_COLOR | cv::IMREAD_IGNORE_ORIENTATION);
        if (bgr.empty() || bgr.type() != CV_8UC3) {
            return IMAGE_IO_READ_FAILED;
        }
        PixelImage read;
        read.width = bgr.cols;
        read.height = bgr.rows;
        read.pixels.resize(static_cast<std::size_t>(bgr.cols) * static_cast<std::size_t>(bgr.rows));
        std::uint32_t* to = read.pixels.data();
        for (int y = 0; y < bgr.rows; ++y) {
            const std::uint8_t* from = bgr.ptr<std::uint8_t>(y);
            for (int x = 0; x < bgr.cols; ++x, from += 3) {
                *to++ = std::uint32_t{from[2]} << 16 | std::uint32_t{from[1]} << 8 | from[0];
            }
        }
        *image = std::move(read);
        return IMAGE_IO_OK;
    } catch (const std::bad_alloc&) {
        return IMAGE_IO_TOO_LARGE;
    } catch (const cv::Exception&) {
        // OpenCV refuses images past its pixel limit, and malformed files, by raising.
        return IMAGE_IO_READ_FAILED;
    }
}

int WriteColourFileCv(const char* path, ImageFileFormat format, const std::uint32_t* pixels,
                      int width, int height, int stride) {
    if (width <= 0 || height <= 0 || stride < width) {
        return IMAGE_IO_WRITE_FAILED;
    }
    try {
        cv::Mat bgr(height, width, CV_8UC3);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* from = pixels + static_cast<std::size_t>(y) * stride;
            std::uint8_t* to = bgr.ptr<std::uint8_t>(y);
            for (int x = 0; x < width; ++x, to += 3) {
                to[0] = static_cast<std::uint8_t>(from[x]);
                to[1] = static_cast<std::uint8_t>(from[x] >> 8);
                to[2] = static_cast<std::uint8_t>(from[x] >> 16);
            }
        }
        std::vector<int> settings;
        if (format == IMAGE_FILE_JPEG) {
            settings = {cv::IMWRITE_JPEG_QUALITY, 100};
        }
        return cv::imwrite(path, bgr, settings) ? IMAGE_IO_OK : IMAGE_IO_WRITE_FAILED;
    } catch (const std::bad_alloc&) {
        return IMAGE_IO_TOO_LARGE;
    } catch (const cv::Exception&) {
        return IMAGE_IO_WRITE_FAILED;
    }
}

int WriteGreyPng(const char* path, const std::uint8_t* pixels, int width, int height, int stride) {
    if (width <= 0 || height <= 0 || stride < width) {
        return IMAGE_IO_WRITE_FAILED;
    }
    try {
        // A header over the caller's bytes: imwrite only reads them.
        const cv::Mat grey(height, width, CV_8UC1, const_cast<std::uint8_t*>(pixels),
                           static_cast<std::size_t>(stride));
        return cv::imwrite(path, grey) ? IMAGE_IO_OK : IMAGE_IO_WRITE_FAILED;
    } catch (const cv::Exception&) {
        return IMAGE_IO_WRITE_FAILED;
    }
}
