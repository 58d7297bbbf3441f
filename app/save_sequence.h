// The Save button: the time-stamp base name, the anaglyph into the Preview, the side-by-side
// file of the aligned pair, and a saving depth pass for the view and map files.
#pragma once

#include "stereo/eyes.h"

#include <cstdint>

// The base name of the last Save's side-by-side file ("" before the first): "B", or "B_2" when
// the time stamp's names were taken.
const char* SaveBaseName();

// Saves the alignment of views A and B (W x H) at the offset of view A against view B;
// preview is the Preview's buffer (null when the window is gone: the anaglyph step is then
// skipped). The view and map files follow when the depth pass has run.
void SaveSequence(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                  std::uint32_t* preview, int offsetX, int offsetY, SideBySideLayout layout);
