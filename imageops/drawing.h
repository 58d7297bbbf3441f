// Drawing primitives on the current image window's buffer (qiv_target): single pixels, lines,
// rectangles, circles, discs, flood fill and clear, on 32-bit and 8-bit buffers.
//
// Every written pixel is clipped on its own: a point is inside when x < width and y < height
// compared as unsigned numbers, and points outside are skipped. Inverting a 32-bit pixel XORs
// it with 0xFFFFFF; inverting an 8-bit pixel complements it. Inverting twice restores the
// image, which rubber-band marks rely on. When qiv_target names no window in use, nothing is
// drawn and reads answer as for a point outside. No primitive refreshes the window.
#pragma once

#include "platform/win32_types.h"

// Pen position: the last point of QIV_PlotPixel, QIV_PlotXorPixel and the line functions,
// recorded even when it is outside the image.
extern POINT qiv_pen;
// Drawing colour 0x00RRGGBB of rectangles, discs and paint; initially white.
extern int qiv_color;

// A pixel value is a whole 32-bit word on 32-bit buffers (stored as given) and its low byte
// on 8-bit buffers.
void QIV_SetPixel(int x, int y, int value);
void QIV_PlotPixel(int x, int y, int value);
void QIV_XorPixel(int x, int y);
void QIV_PlotXorPixel(int x, int y);
int QIV_GetPixel(int x, int y);  // 0 when outside
int QIV_ReadPixel(int x, int y); // -1 when outside

// Lines include both end points, and their pixels do not depend on which end comes first.
void QIV_DrawLine(int x1, int y1, int x2, int y2, int color);
void QIV_XorLine(int x1, int y1, int x2, int y2);

// Rectangles with inclusive opposite corners given in any order.
void QIV_DrawBox(int x1, int y1, int x2, int y2);
void QIV_XorBox(int x1, int y1, int x2, int y2);
void QIV_FillBox(int x1, int y1, int x2, int y2);
void QIV_XorFillBox(int x1, int y1, int x2, int y2);

// Circles and discs around (cx, cy); radius 0 is the centre pixel, a negative radius draws
// nothing. The inverting forms touch every pixel once.
void QIV_DrawCircle(int cx, int cy, int r, int color);
void QIV_XorCircle(int cx, int cy, int r);
void QIV_FillCircle(int cx, int cy, int r);
void QIV_XorFillCircle(int cx, int cy, int r);

// Fills the 4-connected region of pixels equal to (x, y) with qiv_color. At most 4000 seeds
// are pending at once; a very ragged region may be left partly unfilled.
void QIV_Paint(int x, int y);

// Sets every byte of window n's buffer to 0, row padding included; nothing for an invalid n.
void QIV_ClearImage(int n);
