// The stereo application's access to image window buffers, and the split of a side-by-side
// source into its two views.
#pragma once

#include <cstdint>

// Window n's 32-bit pixel buffer when the window exists with exactly width x height 32-bit
// pixels; otherwise null. A window the user closed, or opened under the same number with
// another size or depth, is never read or written through a pointer from here.
std::uint32_t* ViewBuffer32(int n, int width, int height);

// Copies a side-by-side image of sourceWidth x height pixels (rows of sourceWidth) into view A
// (its left half) and view B (its right half), each (sourceWidth / 2) x height with rows of
// sourceWidth / 2. When sourceWidth is odd the last column belongs to neither view.
void SplitSideBySide(int sourceWidth, int height, const std::uint32_t* source, std::uint32_t* viewA,
                     std::uint32_t* viewB);
