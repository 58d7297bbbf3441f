#include "tools/scene/stereo_scene.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace scene {

namespace {

uint32_t Hash(uint32_t seed, int64_t a, int64_t b) {
    uint64_t h = seed * 0x9E3779B97F4A7C15ull ^ uint64_t(a) * 0xC2B2AE3D27D4EB4Full ^
                 uint64_t(b) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return uint32_t(h);
}

int64_t Cell(int64_t x, int size) {
    return x >= 0 ? x / size : (x - size + 1) / size;
}

uint8_t Texel(const Layer& layer, double u, int v) {
    const int64_t x = int64_t(std::floor(u));
    switch (layer.texture) {
    case Texture::BLOCKS: {
        // Neighbouring cells alternate between dark and bright, so every cell edge is an edge.
        const int64_t cx = Cell(x, layer.blockWidth), cy = v / layer.blockHeight;
        const uint32_t h = Hash(layer.seed, cx, cy) % 100;
        return uint8_t((cx + cy) % 2 ? 156 + h : h);
    }
    case Texture::NOISE:
        return uint8_t(Hash(layer.seed, x, v));
    case Texture::STRIPES:
        return uint8_t(Hash(layer.seed, Cell(x, layer.blockWidth), 0));
    case Texture::FLAT:
        return uint8_t(layer.seed);
    }
    return 0;
}

bool Covers(const Layer& layer, double x, int y) {
    if (x < layer.x0 || x >= layer.x1 || y < layer.y0 || y >= layer.y1) {
        return false;
    }
    if (!layer.ellipse) {
        return true;
    }
    const double cx = (layer.x0 + layer.x1 - 1) / 2.0, cy = (layer.y0 + layer.y1 - 1) / 2.0;
    const double rx = (layer.x1 - layer.x0) / 2.0, ry = (layer.y1 - layer.y0) / 2.0;
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

double DisparityAt(const Layer& layer, double x, int y) {
    return layer.disparity + layer.slopeX * x + layer.slopeY * y;
}

// The front layer at left position x of row y, or -1.
int FrontLayer(const std::vector<Layer>& layers, double x, int y) {
    int best = -1;
    double bestD = 0;
    for (size_t i = 0; i < layers.size(); ++i) {
        if (Covers(layers[i], x, y)) {
            const double d = DisparityAt(layers[i], x, y);
            if (best < 0 || d >= bestD) {
                best = int(i);
                bestD = d;
            }
        }
    }
    return best;
}

// The front layer seen by right pixel xr of row y, and the left position it shows.
int FrontLayerRight(const std::vector<Layer>& layers, int xr, int y, double* leftX) {
    int best = -1;
    double bestD = 0;
    for (size_t i = 0; i < layers.size(); ++i) {
        const Layer& l = layers[i];
        // xr = xl - (disparity + slopeX * xl + slopeY * y), solved for xl.
        const double xl = (xr + l.disparity + l.slopeY * y) / (1.0 - l.slopeX);
        if (Covers(l, xl, y)) {
            const double d = DisparityAt(l, xl, y);
            if (best < 0 || d >= bestD) {
                best = int(i);
                bestD = d;
                *leftX = xl;
            }
        }
    }
    return best;
}

} // namespace

StereoPair RenderLayers(int width, int height, const std::vector<Layer>& layers) {
    StereoPair pair;
    pair.left = Image(width, height, 1);
    pair.right = Image(width, height, 1);
    pair.disparity.assign(size_t(width) * height, 0.0f);
    pair.visible.assign(size_t(width) * height, 0);
    std::vector<int> rightLayer(width);
    for (int y = 0; y < height; ++y) {
        for (int xr = 0; xr < width; ++xr) {
            double xl = 0;
            const int i = FrontLayerRight(layers, xr, y, &xl);
            rightLayer[xr] = i;
            pair.right.Row(y)[xr] = i < 0 ? 0 : Texel(layers[i], xl, y);
        }
        for (int x = 0; x < width; ++x) {
            const int i = FrontLayer(layers, x, y);
            const size_t at = size_t(y) * width + x;
            if (i < 0) {
                pair.left.Row(y)[x] = 0;
                continue;
            }
            const double d = DisparityAt(layers[i], x, y);
            pair.left.Row(y)[x] = Texel(layers[i], x, y);
            pair.disparity[at] = float(d);
            const int xr = int(std::lround(x - d));
            pair.visible[at] = xr >= 0 && xr < width && rightLayer[xr] == i;
        }
    }
    return pair;
}

std::vector<Layer> RandomLayers(int width, int height, int maxDisparity, uint32_t seed) {
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    std::vector<Layer> layers;
    Layer background;
    background.x0 = -2 * width;
    background.x1 = 3 * width;
    background.y1 = height;
    background.disparity = uniform(0, maxDisparity / 3);
    background.texture = Texture::BLOCKS;
    background.blockWidth = uniform(1, 6);
    background.blockHeight = uniform(1, 6);
    background.seed = rng();
    layers.push_back(background);
    const int count = uniform(1, 4);
    for (int i = 0; i < count; ++i) {
        Layer l;
        l.x0 = uniform(-width / 4, width - 2);
        l.x1 = l.x0 + uniform(2, std::max(2, width / 2));
        l.y0 = uniform(-height / 4, height - 1);
        l.y1 = l.y0 + uniform(1, std::max(1, height / 2));
        l.ellipse = rng() % 3 == 0;
        l.disparity = uniform(0, maxDisparity);
        const uint32_t kind = rng() % 4;
        l.texture = kind == 0 ? Texture::NOISE : kind == 1 ? Texture::STRIPES : Texture::BLOCKS;
        l.blockWidth = uniform(1, 8);
        l.blockHeight = uniform(1, 8);
        l.seed = rng();
        layers.push_back(l);
    }
    return layers;
}

Image SideBySide(const StereoPair& pair) {
    const Image& l = pair.left;
    Image out(l.width * 2, l.height, l.channels);
    const size_t row = size_t(l.width) * l.channels;
    for (int y = 0; y < l.height; ++y) {
        std::copy(l.Row(y), l.Row(y) + row, out.Row(y));
        std::copy(pair.right.Row(y), pair.right.Row(y) + row, out.Row(y) + row);
    }
    return out;
}

Image ToGrey(const Image& colour) {
    if (colour.channels == 1) {
        return colour;
    }
    Image grey(colour.width, colour.height, 1);
    // 0.114, 0.587 and 0.299 in units of 2^-15, summing to exactly 1, rounded half up.
    for (int y = 0; y < colour.height; ++y) {
        const uint8_t* p = colour.Row(y);
        uint8_t* g = grey.Row(y);
        for (int x = 0; x < colour.width; ++x, p += colour.channels) {
            g[x] = uint8_t((p[0] * 3735 + p[1] * 19235 + p[2] * 9798 + (1 << 14)) >> 15);
        }
    }
    return grey;
}

} // namespace scene
