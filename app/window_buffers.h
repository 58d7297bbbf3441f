// The program's image windows as the plain buffers the stereo core works on.
#pragma once

#include <cstdint>

// Window numbers of the two wiggle frames, the aligned left and right eye.
constexpr int WIGGLE_WINDOW_A = 4;
constexpr int WIGGLE_WINDOW_B = 5;

// Window n's 32-bit pixel buffer when the window exists with exactly width x height 32-bit
// pixels; otherwise null. A window the user closed, or opened under the same number with
// another size or depth, is never read or written through a pointer from here.
std::uint32_t* ViewBuffer32(int n, int width, int height);

// ComposeWiggleFrames into the buffers of image windows 4 and 5. A frame window that does not
// exist as a W x H 32-bit window is left alone. 0 when both frames were written, else 1.
int MakeWiggleFrames(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                     int offsetX, int offsetY);
