// Named image display windows with OpenCV's C names and arguments. A window belongs to the
// thread that creates it (cvNamedWindow, or cvShowImage for an unknown name) and is served by
// that thread's message pump like any other window. Images are 8-bit, 16-bit or floating-point
// with 1, 3 (BGR) or 4 (BGRA) channels; floating-point values 0 … 1 map to black … white.
#pragma once

#ifndef OPENCV_CORE_TYPES_H
typedef void CvArr;
#endif

// Auto-sized: the client area takes each shown image's size.
#define CV_WINDOW_AUTOSIZE 1

// Creates the window (hidden until its first image) if no window has that name. 1 on
// success, 0 when the name is empty or the window cannot be made.
int cvNamedWindow(const char* name, int flags);
// Moves the window's outer top-left corner to screen (x, y).
void cvMoveWindow(const char* name, int x, int y);
// Shows image in the window, creating an auto-sized window for an unknown name. An image of
// an unsupported kind, or no image, leaves the window unchanged.
void cvShowImage(const char* name, const CvArr* image);
// Closes the window; nothing happens for an unknown name.
void cvDestroyWindow(const char* name);
// Closes every such window the calling thread created.
void cvDestroyAllWindows();
