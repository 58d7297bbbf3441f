// Stereo pairs with known geometry for the alignment's tests and benchmark: the synthetic scenes
// as 0x00RRGGBB eye buffers, and a right eye turned, scaled and shifted by a known amount.
#pragma once

#include "tools/scene/stereo_scene.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>
#include <vector>

namespace stereo_pairs {

struct Eyes {
    int W = 0;
    int H = 0;
    std::vector<std::uint32_t> left;
    std::vector<std::uint32_t> right;
    std::vector<float> disparity; // the generator's truth for every left-eye pixel
    std::vector<std::uint8_t> visible;
};

inline std::vector<std::uint32_t> Pixels(const scene::Image& image) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint8_t* p = image.pixels.data() + i * image.channels;
        pixels[i] = image.channels == 3 ? (std::uint32_t{p[2]} << 16) | (p[1] << 8) | p[0]
                                        : std::uint32_t{p[0]} * 0x010101u;
    }
    return pixels;
}

inline Eyes FromScene(const scene::StereoPair& pair) {
    return {pair.left.width,    pair.left.height, Pixels(pair.left),
            Pixels(pair.right), pair.disparity,   pair.visible};
}

inline Eyes Garden(int W, int H, int maxDisparity) {
    return FromScene(scene::RenderGarden(W, H, maxDisparity, 0));
}

// The right eye as a camera turned by degrees (clockwise on screen) about the view's centre,
// zoomed by scale and tilted so its content sits shiftY pixels lower: a point p of the true right
// eye shows at centre + scale * R(degrees) * (p - centre) + (0, shiftY). Bicubic, black outside.
inline std::vector<std::uint32_t> Perturbed(const std::vector<std::uint32_t>& right, int W, int H,
                                            double degrees, double scale, double shiftY) {
    const double t = degrees * CV_PI / 180.0, c = std::cos(t) * scale, s = std::sin(t) * scale;
    const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0;
    const cv::Matx23d forward(c, -s, cx - c * cx + s * cy, s, c, cy + shiftY - s * cx - c * cy);
    std::vector<std::uint32_t> out(right.size());
    const cv::Mat src(H, W, CV_8UC4, const_cast<std::uint32_t*>(right.data()));
    cv::Mat dst(H, W, CV_8UC4, out.data());
    cv::warpAffine(src, dst, forward, dst.size(), cv::INTER_CUBIC, cv::BORDER_CONSTANT,
                   cv::Scalar::all(0));
    return out;
}

} // namespace stereo_pairs
