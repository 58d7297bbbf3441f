// The six test patterns of the image window menu, drawn through the bounds-checked pixel
// functions into the current image window.
#include "imageops/colors.h"
#include "imageops/drawing.h"
#include "imagewin/image_window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The current window's size; false when no window is current.
bool TargetSize(std::int64_t* w, std::int64_t* h) {
    if (!IsImageWindowInUse(qiv_target)) {
        return false;
    }
    *w = qiv_image[qiv_target].width;
    *h = qiv_image[qiv_target].height;
    return *w > 0 && *h > 0;
}

// 64-bit products keep 255 x from overflowing on very wide windows.
int Scale(std::int64_t numerator, std::int64_t denominator) {
    return static_cast<int>(numerator / denominator);
}

int Channel(std::int64_t fixed) {
    return static_cast<int>(std::clamp<std::int64_t>(fixed / 65536, 0, 255));
}

// The three chroma planes: R, G, B from Y and the chroma pair (a across, b upwards).
enum class ChromaSpace { YCrCb, Yuv, Yiq };

int ChromaColor(ChromaSpace space, std::int64_t y, std::int64_t a, std::int64_t b) {
    const std::int64_t base = 65536 * y + 32768;
    int r = 0;
    int g = 0;
    int bl = 0;
    switch (space) {
    case ChromaSpace::YCrCb:
        r = Channel(base + 91881 * b);
        g = Channel(base - 46793 * b - 22544 * a);
        bl = Channel(base + 116130 * a);
        break;
    case ChromaSpace::Yuv:
        r = Channel(base + 74711 * b);
        g = Channel(base - 38076 * b - 25952 * a);
        bl = Channel(base + 132973 * a);
        break;
    case ChromaSpace::Yiq:
        r = Channel(base + 42998 * a + 62187 * b);
        g = Channel(base - 44872 * a - 17334 * b);
        bl = Channel(base + 118292 * a - 73859 * b);
        break;
    }
    return r * 65536 + g * 256 + bl;
}

void ChromaPattern(ChromaSpace space) {
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!TargetSize(&w, &h)) {
        return;
    }
    for (std::int64_t y = 0; y < h; ++y) {
        const std::int64_t b = -Scale(255 * (y - h / 2), h);
        for (std::int64_t x = 0; x < w; ++x) {
            const std::int64_t a = Scale(255 * (x - w / 2), w);
            const auto lum =
                static_cast<std::int64_t>(std::sqrt(5.0 * static_cast<double>(a * a + b * b)));
            QIV_PlotPixel(static_cast<int>(x), static_cast<int>(y), ChromaColor(space, lum, a, b));
        }
    }
}

} // namespace

void QIV_TestPatternRGB() {
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!TargetSize(&w, &h)) {
        return;
    }
    for (std::int64_t y = 0; y < h; ++y) {
        for (std::int64_t x = 0; x < w; ++x) {
            const int r = Scale(255 * x, w);
            const int g = Scale(255 * y, h);
            const int b = 255 - Scale(255 * (x + y), w + h);
            QIV_PlotPixel(static_cast<int>(x), static_cast<int>(y), r * 65536 + g * 256 + b);
        }
    }
}

void QIV_TestPatternHSV() {
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!TargetSize(&w, &h)) {
        return;
    }
    const std::int64_t k = h / 2;
    for (std::int64_t y = 0; y < h; ++y) {
        int s = 255;
        int v = 255;
        // A window one pixel high has no halves (k = 0): its single row is the full-colour
        // line where the two halves meet.
        if (k > 0) {
            s = y < k ? Scale(255 * y, k) : 255;
            v = y < k ? 255 : 255 - Scale(255 * (y - k), k);
        }
        for (std::int64_t x = 0; x < w; ++x) {
            QIV_PlotPixel(static_cast<int>(x), static_cast<int>(y),
                          QIV_HsvToRgb(v, s, Scale(359 * x, w)));
        }
    }
}

void QIV_TestPatternYCrCb() {
    ChromaPattern(ChromaSpace::YCrCb);
}

void QIV_TestPatternYuv() {
    ChromaPattern(ChromaSpace::Yuv);
}

void QIV_TestPatternYIQ() {
    ChromaPattern(ChromaSpace::Yiq);
}

void QIV_TestPatternGrey() {
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (!TargetSize(&w, &h)) {
        return;
    }
    if (qiv_image[qiv_target].bits == 8) {
        RGBQUAD ramp[256];
        for (int i = 0; i < 256; ++i) {
            const auto level = static_cast<BYTE>(i);
            ramp[i] = RGBQUAD{level, level, level, 0};
        }
        QIV_SetPalette(ramp, 256);
    }
    const int top = static_cast<int>(h / 2 - 1);
    for (std::int64_t x = 0; x < w; ++x) {
        const int g = Scale(255 * x, w);
        const int column = static_cast<int>(x);
        // With one row the upper half is empty: its line from 0 to -1 would draw row 0 too.
        if (top >= 0) {
            QIV_DrawLine(column, 0, column, top, g * 0x010101);
        }
        QIV_DrawLine(column, top + 1, column, static_cast<int>(h - 1), 0xFFFFFF - g * 0x010101);
    }
}
