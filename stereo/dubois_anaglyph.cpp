// Least-squares red-cyan anaglyph in linear light.
#include "stereo/dubois_anaglyph.h"

#include "stereo/overlap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace {

// Rows: output red, green, blue; columns: the eye's red, green, blue.
constexpr double LEFT[3][3] = {
    {0.456, 0.500, 0.176}, {-0.040, -0.038, -0.016}, {-0.015, -0.021, -0.005}};
constexpr double RIGHT[3][3] = {
    {-0.043, -0.088, -0.002}, {0.378, 0.734, -0.018}, {-0.072, -0.113, 1.226}};

// Linear light back to sRGB through a table fine enough that no 8-bit result differs from the
// exact curve by more than rounding.
constexpr int LINEAR_STEPS = 1 << 16;

double ToLinear(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double FromLinear(double v) {
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

struct Tables {
    std::array<double, 256> linear;
    std::array<std::uint8_t, LINEAR_STEPS + 1> srgb;
    Tables() {
        for (int i = 0; i < 256; ++i) {
            linear[i] = ToLinear(i / 255.0);
        }
        for (int i = 0; i <= LINEAR_STEPS; ++i) {
            srgb[i] = static_cast<std::uint8_t>(
                std::lround(FromLinear(double(i) / LINEAR_STEPS) * 255.0));
        }
    }
};

const Tables& Curves() {
    static const Tables tables;
    return tables;
}

} // namespace

std::uint32_t DuboisPixel(std::uint32_t left, std::uint32_t right) {
    const Tables& t = Curves();
    const double l[3] = {t.linear[(left >> 16) & 0xFF], t.linear[(left >> 8) & 0xFF],
                         t.linear[left & 0xFF]};
    const double r[3] = {t.linear[(right >> 16) & 0xFF], t.linear[(right >> 8) & 0xFF],
                         t.linear[right & 0xFF]};
    std::uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
        double v = 0.0;
        for (int k = 0; k < 3; ++k) {
            v += LEFT[c][k] * l[k] + RIGHT[c][k] * r[k];
        }
        const int index = static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * LINEAR_STEPS));
        pixel = pixel << 8 | t.srgb[index];
    }
    return pixel;
}

void MakeDuboisAnaglyph(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                        std::uint32_t* out, int offsetX, int offsetY) {
    if (W <= 0 || H <= 0) {
        return;
    }
    std::fill_n(out, static_cast<std::size_t>(W) * static_cast<std::size_t>(H), 0u);
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    if (IsEmptyOverlap(o)) {
        return;
    }
    for (int y = 0; y < o.rows; ++y) {
        const std::uint32_t* a = leftEye + static_cast<std::size_t>(o.ay + y) * W + o.ax;
        const std::uint32_t* b = rightEye + static_cast<std::size_t>(o.by + y) * W + o.bx;
        std::uint32_t* to = out + static_cast<std::size_t>(y) * W;
        for (int x = 0; x < o.cols; ++x) {
            to[x] = DuboisPixel(a[x], b[x]);
        }
    }
}
