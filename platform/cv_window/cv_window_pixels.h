// Conversion of OpenCV arrays to the 0x00RRGGBB pixels a display window shows.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Converts image (an IplImage or CvMat) to width x height pixels 0x00RRGGBB in rows of width.
// False, leaving the outputs untouched, for a null or unsupported array.
bool ConvertForDisplay(const void* image, int* width, int* height,
                       std::vector<std::uint32_t>* pixels);

} // namespace platform
