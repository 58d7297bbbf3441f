// Looping GIF animations of photos: the frames' colours are reduced together to one palette of
// at most 256 colours with dithering (libimagequant), then written through giflib.
#pragma once

#include "photoio/photo_io.h"

// Encodes count RGB frames (channels 3, all of one size) as a GIF that loops for ever, each
// frame shown delayMs milliseconds (to the GIF's hundredths).
int EncodeLoopingGif(const PhotoPixels* frames, int count, int delayMs,
                     std::vector<std::uint8_t>* bytes, std::string* detail);

// EncodeLoopingGif, then WriteFileAtomically.
int WriteLoopingGif(const char* path, const PhotoPixels* frames, int count, int delayMs,
                    PhotoReplace replace, std::string* detail = nullptr);
