// Wiggle GIF: crop, scale down, write.
#include "stereo/wiggle_gif.h"

#include "photoio/gif_animation.h"
#include "stereo/image_io.h"
#include "stereo/overlap.h"
#include "stereo/photo_files.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <new>
#include <vector>

namespace {

// One eye's part of the overlap as 8-bit RGB, scaled to width x height.
cv::Mat Frame(const std::uint32_t* eye, int W, int startX, int startY, const Overlap& o, int width,
              int height) {
    cv::Mat rgb(o.rows, o.cols, CV_8UC3);
    for (int y = 0; y < o.rows; ++y) {
        PixelsToRgb(eye + static_cast<std::size_t>(startY + y) * W + startX, o.cols,
                    rgb.ptr<std::uint8_t>(y));
    }
    if (width == o.cols && height == o.rows) {
        return rgb;
    }
    cv::Mat scaled;
    cv::resize(rgb, scaled, cv::Size(width, height), 0, 0, cv::INTER_AREA);
    return scaled;
}

} // namespace

int WriteWiggleGif(const char* path, int W, int H, const std::uint32_t* leftEye,
                   const std::uint32_t* rightEye, int offsetX, int offsetY, std::string* reason) {
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    if (IsEmptyOverlap(o) || leftEye == nullptr || rightEye == nullptr) {
        if (reason != nullptr) {
            *reason = "no pixels to write";
        }
        return IMAGE_IO_WRITE_FAILED;
    }
    const int longer = std::max(o.cols, o.rows);
    const double scale = longer > WIGGLE_GIF_MAX_SIDE ? double(WIGGLE_GIF_MAX_SIDE) / longer : 1.0;
    const int width = std::max(1, static_cast<int>(o.cols * scale + 0.5));
    const int height = std::max(1, static_cast<int>(o.rows * scale + 0.5));
    try {
        const cv::Mat frames[2] = {Frame(leftEye, W, o.ax, o.ay, o, width, height),
                                   Frame(rightEye, W, o.bx, o.by, o, width, height)};
        PhotoPixels pixels[2];
        for (int i = 0; i < 2; ++i) {
            pixels[i] = {frames[i].data, width, height, 3, frames[i].step[0]};
        }
        std::string detail;
        const int status =
            WriteLoopingGif(path, pixels, 2, WIGGLE_GIF_FRAME_MS, PHOTO_KEEP_EXISTING, &detail);
        return ImageIoResultOfWrite(status, detail, reason);
    } catch (const std::bad_alloc&) {
        return ImageIoResultOfWrite(PHOTO_NO_MEMORY, "", reason);
    } catch (const cv::Exception&) {
        return ImageIoResultOfWrite(PHOTO_NO_MEMORY, "", reason);
    }
}
