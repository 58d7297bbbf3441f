// The least-squares red-cyan anaglyph: each output colour is a fixed projection of both eyes'
// colours in linear light, which keeps more of the scene's colour than the luminance-in-red
// anaglyph of the Preview. Buffers as in previews.h.
#pragma once

#include <cstdint>

// The anaglyph pixel of a left-eye and a right-eye pixel, both 0x00RRGGBB in sRGB.
std::uint32_t DuboisPixel(std::uint32_t left, std::uint32_t right);

// Writes the anaglyph of the aligned pair into out (W x H): the overlap in the top-left corner,
// black elsewhere. The eyes and their offset as for MakeAnaglyph.
void MakeDuboisAnaglyph(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                        std::uint32_t* out, int offsetX, int offsetY);
