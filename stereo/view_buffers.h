// The split of a side-by-side source into its two views.
#pragma once

#include <cstdint>

// Copies a side-by-side image of sourceWidth x height pixels (rows of sourceWidth) into view A
// (its left half) and view B (its right half), each (sourceWidth / 2) x height with rows of
// sourceWidth / 2. When sourceWidth is odd the last column belongs to neither view.
void SplitSideBySide(int sourceWidth, int height, const std::uint32_t* source, std::uint32_t* viewA,
                     std::uint32_t* viewB);
