// Image windows: numbered windows that each show one pixel buffer at a zoom factor. The table
// below is the model every image operation works on; all of it belongs to the worker thread.
#pragma once

#include "platform/win32_gdi.h"
#include "platform/win32_types.h"

#include <cstdint>

constexpr int QIV_IMAGE_WINDOWS = 256;
constexpr int QIV_TARGET_HISTORY = 8;

// One image window. User programs read these fields directly, so their order and types are
// part of the programming interface.
struct ImageWindowRecord {
    int inUse; // 1 while the window exists; 0 while free and during a zoom change
    int bits;  // 32 or 8 bits per pixel
    int width; // image size in pixels, at least 1
    int height;
    int zoomWidth;  // client size: zoom * width / 100
    int zoomHeight; // zoom * height / 100
    int zoom;       // display scale in percent, the value in force after fitting
    int limitMode;  // 1: kept within the screen; 0: free limits
    HWND hwnd;
    HDC memDC;         // holds dib; all drawing through GDI goes here
    HDC windowDC;      // the window's own DC, kept for the window's lifetime
    HBITMAP dib;       // owns the pixel buffer
    HBITMAP oldBitmap; // what memDC held before dib, selected back at destruction
    char* title;       // heap copy of the title given at creation
};

extern ImageWindowRecord qiv_image[QIV_IMAGE_WINDOWS];
// Both tables point at the first byte of window n's buffer while qiv_image[n].inUse is 1:
// 32-bit pixels are words 0x00RRGGBB in unpadded top-down rows; 8-bit pixels are colour-table
// indices in rows padded to a multiple of 4 bytes (ImageStride8).
extern std::uint32_t* qiv_pixels32[QIV_IMAGE_WINDOWS];
extern std::uint8_t* qiv_pixels8[QIV_IMAGE_WINDOWS];
// The current image window, the implicit target of pixel, drawing, palette and file
// operations, and the previously current numbers, most recent first.
extern int qiv_target;
extern int qiv_target_history[QIV_TARGET_HISTORY];

// Start-up: every number free, every history slot 0.
void ResetImageWindowTable();

// True when n is in 0..255 and its window exists.
bool IsImageWindowInUse(int n);

// The lowest number in use whose window is hwnd; -1 if none.
int FindImageWindow(HWND hwnd);

// Makes n the current image window, pushing the old one onto the history. 0; 1 if n is not a
// window in use (nothing changes).
int QIV_SelectImage(int n);

// Returns to the most recent history entry, which the oldest slot refills. 0; 1 if that entry
// is not a window in use (nothing changes).
int QIV_RestoreImage();

// FindImageWindow, then QIV_SelectImage of the result; returns the number found (-1: none,
// and nothing changes).
int SelectImageWindowByHandle(HWND hwnd);

// The following need live windows. They run on the thread that owns the image windows (the
// worker); creation makes the window there, owned by the main window.
// Results: 0 success; 1 number in use (creation) or invalid; 2 no zoom fits; 3 bad depth or the
// buffer (or window) can't be made; 4 number outside 0..255 (creation). A failed creation leaves
// the number free and no window behind. x or y of -1 places the window at the default position.
int CreateImageWindow(int zoom, int n, const char* title, int x, int y, int width, int height,
                      int bits);
// A window for a command's result: the lowest free number, zoom 100, at (0, 0); it becomes the
// current image window. Its number, or -1 when no number is free or the window can't be made.
int CreateFreeImageWindow(const char* title, int width, int height, int bits);
int QIV_CreateImage(int n, const char* title, int x, int y, int width, int height, int zoom);
int QIV_CreateImageFL(int n, const char* title, int x, int y, int width, int height, int zoom);
int QIV_CreateImage8(int n, const char* title, int x, int y, int width, int height, int zoom);
int QIV_CreateImage8FL(int n, const char* title, int x, int y, int width, int height, int zoom);
int QIV_DestroyImage(int n);
int QIV_UpdateImage(int n);
int QIV_SetZoom(int n, int zoom);
int QIV_ResizeImage(int n, int width, int height);
// Palette of the current image window (8-bit only): 0; 1 if it is not in use; 2 if it is not
// 8-bit. SetPalette writes entries 0..count-1 (count is held to 0..256); GetPalette reads 256.
int QIV_SetPalette(const RGBQUAD* colors, int count);
int QIV_GetPalette(RGBQUAD* colors);
// COLORONCOLOR (3) or HALFTONE (4); 0 if n is invalid.
int QIV_GetStretchMode(int n);
// Modes other than 3 and 4 change nothing but still repaint and re-caption the window.
int QIV_SetStretchMode(int n, int mode);
void RefreshImageTitle(int n);
LRESULT CALLBACK ImageWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
