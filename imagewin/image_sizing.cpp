// Size limits, zoom fitting and buffer layout of image windows.
#include "imagewin/image_sizing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

ImageSizeLimits ImageSizeLimitsFromMetrics(int limitMode, const ImageSizeMetrics& m) {
    ImageSizeLimits limits{};
    if (limitMode == 0) {
        limits.minWidth = 1;
        limits.minHeight = 1;
        limits.maxWidth = 2 * m.cxScreen;
        limits.maxHeight = 2 * m.cyScreen;
    } else {
        // The minimum height subtracts the horizontal frame width, as window sizing always has.
        limits.minWidth = m.cxMin - 2 * m.cxFrame;
        limits.minHeight = m.cyMin - 2 * m.cxFrame - m.cyCaption;
        limits.maxWidth = m.cxScreen;
        limits.maxHeight = m.cyScreen - m.cyCaption;
    }
    limits.minWidth = std::max(limits.minWidth, 1);
    limits.minHeight = std::max(limits.minHeight, 1);
    return limits;
}

namespace {

// Client extent at a zoom, truncating. 64-bit because zoom * size can pass 2^31 for large
// images even when the result is small.
std::int64_t ZoomedExtent(int zoom, int size) {
    return static_cast<std::int64_t>(zoom) * size / 100;
}

} // namespace

int FitZoom(int width, int height, int zoom, const ImageSizeLimits& limits, ZoomFit* fit) {
    const double w = std::max(width, 1);
    const double h = std::max(height, 1);
    const int minWidth = std::max(limits.minWidth, 1);
    const int minHeight = std::max(limits.minHeight, 1);

    double x = w * zoom / 100.0;
    double y = h * zoom / 100.0;
    x = std::max(std::min(x, static_cast<double>(limits.maxWidth)), 1.0);
    y = std::max(std::min(y, static_cast<double>(limits.maxHeight)), 1.0);
    // Beyond any screen either way; the clamps keep the conversions to int defined.
    int fitted = static_cast<int>(std::min({100.0 * x / w, 100.0 * y / h, 1e9}));

    std::int64_t zoomWidth = ZoomedExtent(fitted, static_cast<int>(w));
    std::int64_t zoomHeight = ZoomedExtent(fitted, static_cast<int>(h));
    if (zoomWidth < minWidth || zoomHeight < minHeight) {
        const double up =
            std::max(std::ceil(100.0 * minWidth / w), std::ceil(100.0 * minHeight / h));
        fitted = static_cast<int>(std::min(up, 1e9));
        zoomWidth = ZoomedExtent(fitted, static_cast<int>(w));
        zoomHeight = ZoomedExtent(fitted, static_cast<int>(h));
        if (zoomWidth > limits.maxWidth || zoomHeight > limits.maxHeight) {
            return 2;
        }
    }
    fit->zoom = fitted;
    fit->zoomWidth = static_cast<int>(zoomWidth);
    fit->zoomHeight = static_cast<int>(zoomHeight);
    return 0;
}

std::size_t ImageRowBytes(int bits, int width) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 1));
    if (bits == 8) {
        return (w + 3) / 4 * 4;
    }
    return w * 4;
}

int ImageStride8(int width) {
    return static_cast<int>(ImageRowBytes(8, width));
}

std::size_t ImageBufferBytes(int bits, int width, int height) {
    return ImageRowBytes(bits, width) * static_cast<std::size_t>(std::max(height, 1));
}
