// Where the stereo application puts its windows and guide lines, from the screen's width and
// the source's size, and when the pointer counts as being near a guide line.
#pragma once

struct StereoLayout {
    int W;           // width of one view: sourceWidth / 2
    int H;           // height of the views and the source
    int zoom;        // the source window's zoom m, so that it fills half the screen's width
    int previewZoom; // 2m: one view in the same width as the source
    int previewY;    // the Preview's screen y, directly below the source
    int boxesX;      // screen x of the button box, the input box and "CV depth"
    int leftLineX;   // initial guide lines, in source pixels
    int rightLineX;
};

// Screen y of the button box, the input box and the depth window.
constexpr int BUTTON_BOX_Y = 0;
constexpr int INPUT_BOX_Y = 100;
constexpr int DEPTH_WINDOW_Y = 250;

// The layout for a source of sourceWidth x sourceHeight on a screen screenWidth pixels wide.
// Divisions truncate toward zero; the zoom is at least 1 so that a source wider than fifty
// screens still gets a usable window. sourceWidth must be at least 2.
StereoLayout ComputeLayout(int screenWidth, int sourceWidth, int sourceHeight);

// The near-tests of the guide lines: the pointer was last seen over the source window (number
// 0) within 100 pixels of the line as drawn at shownX, more than 50 pixels inside the top and
// bottom edges, and on the line's own half of the source.
bool NearLeftLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py);
bool NearRightLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py);
