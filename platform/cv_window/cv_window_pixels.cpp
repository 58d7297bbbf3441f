// Display conversion of OpenCV arrays, as the library's own windows show them: grey replicated
// into all three channels, BGR(A) reordered, 16-bit values reduced to their high byte and
// floating-point values scaled by 255 with saturation.
#include "platform/cv_window/cv_window_pixels.h"

#include <opencv2/core/core_c.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {
namespace {

// Image sizes beyond this are refused rather than converted (a quarter of a gigapixel).
constexpr long long MAX_DISPLAY_PIXELS = 1LL << 28;

std::uint8_t ToByte(const uchar* p, int depth) {
    switch (depth) {
    case CV_8U:
        return *p;
    case CV_8S:
        return static_cast<std::uint8_t>(std::max<int>(0, *reinterpret_cast<const schar*>(p)));
    case CV_16U:
        return static_cast<std::uint8_t>(*reinterpret_cast<const ushort*>(p) >> 8);
    case CV_16S:
        return static_cast<std::uint8_t>(std::max<int>(0, *reinterpret_cast<const short*>(p)) >> 7);
    case CV_32S:
        return static_cast<std::uint8_t>(
            std::clamp(*reinterpret_cast<const int*>(p) >> 23, 0, 255));
    case CV_32F:
    case CV_64F: {
        double v = depth == CV_32F ? *reinterpret_cast<const float*>(p)
                                   : *reinterpret_cast<const double*>(p);
        if (!(v > 0.0)) { // NaN as well
            return 0;
        }
        return static_cast<std::uint8_t>(std::lround(std::min(v, 1.0) * 255.0));
    }
    default:
        return 0;
    }
}

// OpenCV reports errors through its error handler, which by default prints and aborts or
// throws; cvGetMat must not be reached with anything but a real array header.
bool ArrayHeader(const void* image, CvMat* storage, CvMat** mat) {
    if (!image) {
        return false;
    }
    if (CV_IS_MAT_HDR(image)) {
        *mat = const_cast<CvMat*>(static_cast<const CvMat*>(image));
        return true;
    }
    if (CV_IS_IMAGE_HDR(image)) {
        const auto* ipl = static_cast<const IplImage*>(image);
        if (!ipl->imageData || ipl->nChannels < 1 || ipl->nChannels > 4) {
            return false;
        }
        try {
            *mat = cvGetMat(image, storage);
        } catch (...) {
            return false;
        }
        return *mat != nullptr;
    }
    return false;
}

} // namespace

bool ConvertForDisplay(const void* image, int* width, int* height,
                       std::vector<std::uint32_t>* pixels) {
    CvMat storage;
    CvMat* mat = nullptr;
    if (!ArrayHeader(image, &storage, &mat) || !mat->data.ptr) {
        return false;
    }
    int type = CV_MAT_TYPE(mat->type);
    int depth = CV_MAT_DEPTH(type);
    int channels = CV_MAT_CN(type);
    if (channels != 1 && channels != 3 && channels != 4) {
        return false;
    }
    if (depth == CV_16F) {
        return false;
    }
    int w = mat->cols;
    int h = mat->rows;
    if (w < 1 || h < 1 || static_cast<long long>(w) * h > MAX_DISPLAY_PIXELS) {
        return false;
    }
    int elementBytes = CV_ELEM_SIZE1(depth);
    if (mat->step < w * channels * elementBytes) {
        return false;
    }
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const uchar* row = mat->data.ptr + static_cast<std::size_t>(y) * mat->step;
        for (int x = 0; x < w; ++x) {
            const uchar* p = row + static_cast<std::size_t>(x) * channels * elementBytes;
            std::uint32_t b = ToByte(p, depth);
            std::uint32_t g = b;
            std::uint32_t r = b;
            if (channels >= 3) {
                g = ToByte(p + elementBytes, depth);
                r = ToByte(p + 2 * elementBytes, depth);
            }
            out[static_cast<std::size_t>(y) * w + x] = (r << 16) | (g << 8) | b;
        }
    }
    *width = w;
    *height = h;
    pixels->swap(out);
    return true;
}

} // namespace platform
