// Stereo photos in JPEG files: multi-picture (MPO) files, whose pictures an index in an APP2
// "MPF" segment lists, and the Exif orientation that turns a photo the right way up.
#pragma once

#include "photoio/photo_io.h"

// Exif orientation 1..8 of a JPEG stream; 1 when it has none or a value out of range.
int JpegOrientation(const std::uint8_t* data, std::size_t size);

// Turns photo as the orientation says, so that it shows the right way up. PHOTO_OK or
// PHOTO_NO_MEMORY (photo then untouched).
int OrientPhoto(int orientation, Photo* photo);

// Where a multi-picture file's two views lie: byte ranges of the first two pictures that are
// not thumbnails.
struct StereoPictures {
    std::size_t offset[2];
    std::size_t size[2];
};

// Finds the two views through the multi-picture index; without an index, the second picture
// is taken to start right after the first only when the first ends cleanly. PHOTO_OK, or
// PHOTO_DAMAGED / PHOTO_NOT_A_PHOTO with the reason in *detail.
int FindStereoPictures(const std::uint8_t* data, std::size_t size, StereoPictures* pictures,
                       std::string* detail);

// True when the stream's multi-picture index lists a disparity (stereo) picture.
bool HasStereoIndex(const std::uint8_t* data, std::size_t size);

// Decodes a multi-picture file's two views, both turned by the first one's orientation, into
// one side-by-side photo, left eye first.
int DecodeMpo(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);

// A JPEG stream as a photo: a stereo multi-picture file side by side, anything else its first
// picture turned the right way up.
int DecodeJpegPhoto(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail);
