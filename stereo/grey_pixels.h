// Grey pixels from 8-bit RGB without OpenCV, equal to OpenCV's 8-bit RGB-to-grey conversion, so
// that a map computed from them equals one computed through OpenCV.
#pragma once

#include <cstddef>
#include <cstdint>

// Converts count RGB pixels (3 bytes each) to count grey bytes. grey may be rgb itself: each grey
// byte is written after the pixel it comes from has been read.
void RgbToGrey(const std::uint8_t* rgb, std::size_t count, std::uint8_t* grey);
