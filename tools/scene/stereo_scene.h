// Synthetic rectified stereo pairs with known disparities, for the matcher's tests, its
// benchmarks and the application's sample photograph. Left pixel x shows the same surface point
// as right pixel x - d.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace scene {

struct Image {
    int width = 0;
    int height = 0;
    int channels = 1;            // 1: grey; 3: blue, green, red
    std::vector<uint8_t> pixels; // rows of width * channels bytes, top-down

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(size_t(w) * h * c) {}
    uint8_t* Row(int y) { return pixels.data() + size_t(y) * width * channels; }
    const uint8_t* Row(int y) const { return pixels.data() + size_t(y) * width * channels; }
};

struct StereoPair {
    Image left;
    Image right;
    std::vector<float> disparity; // ground truth of every left pixel
    std::vector<uint8_t>
        visible; // 1 where the left pixel's surface point is seen in the right view
};

enum class Texture {
    BLOCKS,  // constant cells of blockWidth x blockHeight, alternately dark and bright
    NOISE,   // a random value per pixel
    STRIPES, // vertical stripes blockWidth wide
    FLAT,    // one value everywhere
};

// A textured surface seen through a window of the left view. Its disparity at left pixel (x, y)
// is disparity + slopeX * x + slopeY * y (a plane in space); slopeX must stay below 1.
struct Layer {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // covered left pixels [x0, x1) x [y0, y1)
    bool ellipse = false;               // only the ellipse inscribed in that rectangle
    double disparity = 0;
    double slopeX = 0;
    double slopeY = 0;
    Texture texture = Texture::BLOCKS;
    uint32_t seed = 1;
    int blockWidth = 4;
    int blockHeight = 4;
};

// Grey pair of layers. A surface of larger disparity (nearer) hides one of smaller disparity;
// of equal disparity the later layer wins. Pixels no layer covers are 0 at disparity 0. With
// integer disparities and no slopes the right view is an exact shifted copy.
StereoPair RenderLayers(int width, int height, const std::vector<Layer>& layers);

// Layers for a random test scene: a textured background and a few nearer rectangles and ellipses,
// all at integer disparities within 0 ... maxDisparity.
std::vector<Layer> RandomLayers(int width, int height, int maxDisparity, uint32_t seed);

// A colour outdoor scene (sky, hills, a textured ground, a wall, crates and a ball under the
// sun) rendered by ray casting from two parallel cameras, disparities within about
// 0 ... maxDisparity. verticalShift moves the right view down by that many pixels, as a slightly
// tilted camera would. Three samples per pixel smooth the edges.
StereoPair RenderGarden(int width, int height, int maxDisparity, int verticalShift);

// Left view in the left half, right view in the right half.
Image SideBySide(const StereoPair& pair);

// Grey of a colour image with the weights of OpenCV's BGR-to-grey conversion.
Image ToGrey(const Image& colour);

} // namespace scene
