// The Preview's two pictures of the aligned pair: a red-cyan anaglyph, and the two frames of
// the wiggle animation. All buffers are W x H pixels 0x00RRGGBB with rows of W; the aligned
// overlap lands in the top-left corner of the output and every other output pixel is black.
// The views are given as eyes (EyesOf), with the offset of the left eye against the right.
#pragma once

#include <cstdint>

// The anaglyph pixel of the left eye's pixel and the right eye's: red carries the left eye's
// luminance (for red-left glasses), green and blue are the right eye's own.
std::uint32_t AnaglyphPixel(std::uint32_t left, std::uint32_t right);

// Writes the anaglyph of the aligned pair into bufferPreview.
void MakeAnaglyph(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                  std::uint32_t* bufferPreview, int offsetX, int offsetY);

// Writes the aligned left eye into frameL and the aligned right eye into frameR. A null frame
// is skipped.
void ComposeWiggleFrames(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                         std::uint32_t* frameL, std::uint32_t* frameR, int offsetX, int offsetY);
