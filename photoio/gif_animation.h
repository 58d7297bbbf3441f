// Looping GIF animations of photos: the frames' colours are reduced together to one palette of
// at most 256 colours with dithering (libimagequant), then written through giflib.
#pragma once

#include "photoio/photo_io.h"

// Reduces count RGB frames (channels 3, all of one size) to one shared palette of at most 256
// colours, dithered by dither (0: none, 1: full); (*indices)[i] receives frame i's indices and
// *palette the colours as 0x00RRGGBB.
int QuantiseFrames(const PhotoPixels* frames, int count, float dither,
                   std::vector<std::vector<std::uint8_t>>* indices,
                   std::vector<std::uint32_t>* palette, std::string* detail);

// Encodes count RGB frames (channels 3, all of one size) as a GIF that loops for ever, each
// frame shown delayMs milliseconds (to the GIF's hundredths).
int EncodeLoopingGif(const PhotoPixels* frames, int count, int delayMs,
                     std::vector<std::uint8_t>* bytes, std::string* detail);

// EncodeLoopingGif, then WriteFileAtomically.
int WriteLoopingGif(const char* path, const PhotoPixels* frames, int count, int delayMs,
                    PhotoReplace replace, std::string* detail = nullptr);
