// The Preview's two pictures of the aligned pair: a red-cyan anaglyph, and the two frames of
// the wiggle animation. All buffers are W x H pixels 0x00RRGGBB with rows of W; the aligned
// overlap lands in the top-left corner of the output and every other output pixel is black.
#pragma once

#include <cstdint>

// Window numbers of the two wiggle frames, aligned view A and aligned view B.
constexpr int WIGGLE_WINDOW_A = 4;
constexpr int WIGGLE_WINDOW_B = 5;

// The anaglyph pixel of view A's pixel a and view B's pixel b: red carries b's luminance,
// green and blue are a's own.
std::uint32_t AnaglyphPixel(std::uint32_t a, std::uint32_t b);

// Writes the anaglyph of the aligned pair into bufferPreview.
void MakeAnaglyph(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                  std::uint32_t* bufferPreview, int offsetX, int offsetY);

// Writes aligned view A into frameA and aligned view B into frameB. A null frame is skipped.
void ComposeWiggleFrames(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                         std::uint32_t* frameA, std::uint32_t* frameB, int offsetX, int offsetY);

// ComposeWiggleFrames into the buffers of image windows 4 and 5. A frame window that does not
// exist as a W x H 32-bit window is left alone. 0 when both frames were written, else 1.
int MakeWiggleFrames(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                     int offsetX, int offsetY);
