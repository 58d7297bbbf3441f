// Window-free sizing rules of image windows: the client-size limits, the zoom that fits an
// image between them, and the byte layout of pixel buffers.
#pragma once

#include <cstddef>

// The system metrics the size limits are made of (SM_CXMIN, SM_CYMIN, SM_CXFRAME,
// SM_CYCAPTION, SM_CXSCREEN, SM_CYSCREEN).
struct ImageSizeMetrics {
    int cxMin;
    int cyMin;
    int cxFrame;
    int cyCaption;
    int cxScreen;
    int cyScreen;
};

// Smallest and largest client area an image window may have, in screen pixels.
struct ImageSizeLimits {
    int minWidth;
    int minHeight;
    int maxWidth;
    int maxHeight;
};

// limitMode 0 gives free limits (1 pixel up to twice the screen); any other mode keeps the
// window within the screen and at least as large as the smallest window. Minimums below 1
// are raised to 1 so that a fitted zoom is never 0.
ImageSizeLimits ImageSizeLimitsFromMetrics(int limitMode, const ImageSizeMetrics& metrics);

// GetImageSizeLimits reads the system metrics and calls ImageSizeLimitsFromMetrics; it is
// defined beside window creation.
ImageSizeLimits GetImageSizeLimits(int limitMode);

struct ZoomFit {
    int zoom;      // percent actually in force
    int zoomWidth; // client size at that zoom
    int zoomHeight;
};

// The zoom in force for an image of width x height asked at zoom percent: lowered until the
// client area fits the maximum, raised until it reaches the minimum, aspect ratio kept.
// Width and height below 1 count as 1. Returns 0 and fills *fit, or 2 when no zoom meets both
// limits (*fit untouched).
int FitZoom(int width, int height, int zoom, const ImageSizeLimits& limits, ZoomFit* fit);

// Bytes per row of an 8-bit buffer: width padded to a multiple of 4.
int ImageStride8(int width);

// Bytes per row and in total of a buffer of the given depth (8 or 32 bits per pixel).
std::size_t ImageRowBytes(int bits, int width);
std::size_t ImageBufferBytes(int bits, int width, int height);
