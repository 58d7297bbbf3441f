// Colour conversions of 0x00RRGGBB pixels in integer arithmetic with 16-bit fixed-point
// coefficients, and the test patterns built from them.
//
// Every division truncates toward zero, also for negative numerators. HSV is the framework's
// own variant: V is the largest channel, S the chroma max - min (0..255, not divided by V) and
// H an integer angle 0..359.
#pragma once

// H, S and V of a colour; H is 0 for greys.
void QIV_RgbToHsv(int color, int* h, int* s, int* v);
int QIV_GetHue(int color);
int QIV_GetSaturation(int color);
int QIV_GetValue(int color);

// The colour of V, S, H (note the order). Arguments are held to V and S in 0..255 and H in
// 0..359 first, so any input gives a valid colour.
int QIV_HsvToRgb(int v, int s, int h);

// Forward conversions of one pixel. Y is 0..255; the others are signed and centred on 0
// (Cr and Cb -127..128; the plots add 128).
int QIV_GetY(int color);
int QIV_GetCr(int color);
int QIV_GetCb(int color);
int QIV_GetU(int color);
int QIV_GetV(int color);
int QIV_GetI(int color);
int QIV_GetQ(int color);

// Test patterns drawn pixel by pixel into the current image window; on an 8-bit window only
// the low byte (blue) of each colour lands. Nothing happens when no window is current.
//   RGB    red grows to the right, green downwards, blue fades toward the bottom right
//   HSV    hue across; the upper half runs from white to full colour, the lower half from full
//          colour to black (a window one pixel high shows the full-colour row)
//   YCrCb, Yuv, YIQ   the chroma plane of each space, black at the centre and brighter with
//          the distance from it
//   Grey   a ramp brightening to the right above the middle row and darkening below it; an
//          8-bit window first gets the grey colour table
void QIV_TestPatternRGB();
void QIV_TestPatternHSV();
void QIV_TestPatternYCrCb();
void QIV_TestPatternYuv();
void QIV_TestPatternYIQ();
void QIV_TestPatternGrey();
