// The wiggle animation as a file: the two aligned eyes, cropped to their overlap, as a looping
// two-frame GIF (left eye, then right), each frame shown for the Preview's wiggle period.
#pragma once

#include <cstdint>
#include <string>

// The frames' longer side at most; larger pairs are scaled down by area averaging.
constexpr int WIGGLE_GIF_MAX_SIDE = 1000;
// How long each frame shows: the interaction loop's period.
constexpr int WIGGLE_GIF_FRAME_MS = 100;

// Writes the GIF of the aligned eyes (W x H each; offset as for MakeAnaglyph) to path, never
// replacing a file. An ImageIoResult; reason (may be null) says why on failure.
int WriteWiggleGif(const char* path, int W, int H, const std::uint32_t* leftEye,
                   const std::uint32_t* rightEye, int offsetX, int offsetY, std::string* reason);
