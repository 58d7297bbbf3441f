// Luminance 0.299 R + 0.587 G + 0.114 B in 15-bit fixed point, rounded to nearest.
#include "stereo/grey_pixels.h"

namespace {

constexpr int SHIFT = 15;
constexpr std::uint32_t RED = 9798, GREEN = 19235, BLUE = 3735; // sum: 1 << SHIFT

} // namespace

void RgbToGrey(const std::uint8_t* rgb, std::size_t count, std::uint8_t* grey) {
    for (std::size_t i = 0; i < count; ++i, rgb += 3) {
        grey[i] = static_cast<std::uint8_t>(
            (rgb[0] * RED + rgb[1] * GREEN + rgb[2] * BLUE + (1u << (SHIFT - 1))) >> SHIFT);
    }
}
