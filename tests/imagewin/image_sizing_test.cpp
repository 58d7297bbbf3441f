// Size limits from the system metrics, zoom fitting, and buffer layout.
#include "imagewin/image_sizing.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A 1280 x 1024 screen with an 18-pixel caption, 8-pixel frames and the smallest window
// 136 x 39: the minimum client area is 120 wide and 5 high.
constexpr ImageSizeMetrics METRICS = {136, 39, 8, 18, 1280, 1024};

ZoomFit Fit(int w, int h, int zoom, int limitMode, int* result = nullptr) {
    ZoomFit fit{-1, -1, -1};
    const int r = FitZoom(w, h, zoom, ImageSizeLimitsFromMetrics(limitMode, METRICS), &fit);
    if (result != nullptr) {
        *result = r;
    }
    return fit;
}

} // namespace

TEST(ImageSizeLimits, FromMetrics) {
    const ImageSizeLimits screen = ImageSizeLimitsFromMetrics(1, METRICS);
    EXPECT_EQ(screen.minWidth, 120);
    EXPECT_EQ(screen.minHeight, 39 - 16 - 18); // the horizontal frame width, not the vertical
    EXPECT_EQ(screen.maxWidth, 1280);
    EXPECT_EQ(screen.maxHeight, 1006);

    const ImageSizeLimits free = ImageSizeLimitsFromMetrics(0, METRICS);
    EXPECT_EQ(free.minWidth, 1);
    EXPECT_EQ(free.minHeight, 1);
    EXPECT_EQ(free.maxWidth, 2560);
    EXPECT_EQ(free.maxHeight, 2048);

    // Metrics that would give a minimum of 0 or less still keep a fitted zoom above 0.
    const ImageSizeLimits odd = ImageSizeLimitsFromMetrics(1, {10, 10, 8, 30, 800, 600});
    EXPECT_EQ(odd.minWidth, 1);
    EXPECT_EQ(odd.minHeight, 1);
}

TEST(FitZoom, LargeImageIsLoweredToFitTheScreen) {
    int result = -1;
    const ZoomFit fit = Fit(3000, 2000, 100, 1, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fit.zoom, 42);
    EXPECT_EQ(fit.zoomWidth, 1260);
    EXPECT_EQ(fit.zoomHeight, 840);
}

TEST(FitZoom, SmallImageIsRaisedOnlyUnderScreenLimits) {
    const ZoomFit screen = Fit(10, 10, 100, 1);
    EXPECT_EQ(screen.zoom, 1200);
    EXPECT_EQ(screen.zoomWidth, 120);
    EXPECT_EQ(screen.zoomHeight, 120);

    const ZoomFit free = Fit(10, 10, 100, 0);
    EXPECT_EQ(free.zoom, 100);
    EXPECT_EQ(free.zoomWidth, 10);
    EXPECT_EQ(free.zoomHeight, 10);
}

TEST(FitZoom, FittingImageKeepsTheAskedZoom) {
    const ZoomFit fit = Fit(640, 480, 100, 1);
    EXPECT_EQ(fit.zoom, 100);
    EXPECT_EQ(fit.zoomWidth, 640);
    EXPECT_EQ(fit.zoomHeight, 480);
    const ZoomFit half = Fit(641, 481, 50, 1);
    EXPECT_EQ(half.zoom, 50);
    EXPECT_EQ(half.zoomWidth, 320);
    EXPECT_EQ(half.zoomHeight, 240);
}

TEST(FitZoom, NoZoomFitsATallThinImage) {
    int result = -1;
    const ZoomFit fit = Fit(2, 20000, 100, 1, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(fit.zoom, -1); // untouched
    // One tenth as tall fits the free limits but still not the screen.
    Fit(2, 2000, 100, 1, &result);
    EXPECT_EQ(result, 2);
    const ZoomFit free = Fit(2, 2000, 100, 0, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(free.zoomHeight, 2000);
}

TEST(FitZoom, OddInputsGiveAUsableZoom) {
    int result = -1;
    // Sizes below 1 count as 1; zero, negative and huge zooms are brought within limits.
    for (int zoom : {0, -50, INT_MIN, INT_MAX}) {
        for (int size : {0, -7, 1, 3000}) {
            const ZoomFit fit = Fit(size, size, zoom, 0, &result);
            ASSERT_EQ(result, 0) << size << " at " << zoom;
            EXPECT_GE(fit.zoom, 1) << size << " at " << zoom;
            EXPECT_GE(fit.zoomWidth, 1);
            EXPECT_LE(fit.zoomWidth, 2560);
            EXPECT_LE(fit.zoomHeight, 2048);
        }
    }
    // Even 1 % is too wide for the screen.
    Fit(INT_MAX, INT_MAX, 100, 0, &result);
    EXPECT_EQ(result, 2);
}

TEST(FitZoom, RaisedZoomOfAVeryWideImageIsMeasuredWithoutOverflow) {
    // The minimum height asks for zoom 500, and 500 x 50 000 000 passes 2^31: the client
    // width (250 000 000) must be seen as too wide, not wrapped into range.
    int result = -1;
    Fit(50000000, 1, 100, 1, &result);
    EXPECT_EQ(result, 2);
}

TEST(BufferLayout, EightBitRowsArePaddedToFourBytes) {
    EXPECT_EQ(ImageStride8(5), 8);
    EXPECT_EQ(ImageStride8(1), 4);
    EXPECT_EQ(ImageStride8(4), 4);
    EXPECT_EQ(ImageStride8(8), 8);
    EXPECT_EQ(ImageRowBytes(32, 5), 20u);
    EXPECT_EQ(ImageBufferBytes(8, 5, 3), 24u);
    EXPECT_EQ(ImageBufferBytes(32, 5, 3), 60u);
    // Large buffers are sized without overflowing int.
    EXPECT_EQ(ImageBufferBytes(32, 50000, 50000), 10000000000u);
}
