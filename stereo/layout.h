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

// Lowers the zoom of a layout so that the source and the Preview below it also fit a screen
// screenHeight pixels high, each window taking frameHeight pixels beyond its client area: the
// width rule alone lets a portrait pair run off the bottom. A layout that fits is unchanged.
void FitLayoutToHeight(StereoLayout* layout, int screenHeight, int frameHeight);

// Width in source pixels of a guide line drawn at the zoom: at least one screen pixel wholly
// inverted, however the scaling falls; odd, so the line has a centre.
int GuideLineWidth(int zoom);

struct ScreenRect {
    int left;
    int top;
    int right; // exclusive
    int bottom;
};

struct DepthPlacement {
    int x; // the window's outer top-left corner
    int y;
    int maxWidth; // the largest client area the map may take
    int maxHeight;
};

// Where the depth window goes inside area without covering avoid (the main window), for a map
// of mapWidth x mapHeight and a frame adding frameWidth x frameHeight: the part of the area
// beside avoid in which the map shows largest, at its top-left corner.
DepthPlacement PlaceDepthWindow(const ScreenRect& area, const ScreenRect& avoid, int frameWidth,
                                int frameHeight, int mapWidth, int mapHeight);

// The near-tests of the guide lines: the pointer was last seen over the source window (number
// 0) within 100 pixels of the line as drawn at shownX, more than 50 pixels inside the top and
// bottom edges, and on the line's own half of the source.
bool NearLeftLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py);
bool NearRightLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py);

// A line being dragged (following, with the left button held) keeps following however fast
// the pointer moves, as long as it stays over the source, on the line's half and inside the
// edge margins: a drag at a low zoom covers more than 100 source pixels between two loop
// iterations.
bool DraggingLeftLine(const StereoLayout& layout, int pointerWindow, int px, int py);
bool DraggingRightLine(const StereoLayout& layout, int pointerWindow, int px, int py);
