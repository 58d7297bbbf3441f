// Reproducible RGB noise, three bytes a pixel: the worst case for a palette, every pixel a colour
// of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> RgbNoise(int w, int h, unsigned seed) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::uint8_t& v : rgb) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(seed >> 16);
    }
    return rgb;
}
