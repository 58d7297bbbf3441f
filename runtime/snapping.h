// Ctrl-snapping of framework windows being moved: a list of target rectangles (the walls
// around the work area and every framework window), rebuilt whenever a window appears, moves
// or changes size, so that a drag only compares rectangles.
#pragma once

#include "platform/win32_types.h"

constexpr int QIV_SNAP_TARGETS = 262;

struct SnapTargets {
    int count = 0;
    int left[QIV_SNAP_TARGETS] = {};
    int top[QIV_SNAP_TARGETS] = {};
    int right[QIV_SNAP_TARGETS] = {};
    int bottom[QIV_SNAP_TARGETS] = {};
};

// The list the window procedures use.
extern SnapTargets qiv_snapTargets;

// Appends a rectangle; a full list ignores it (and returns false).
bool AddSnapTarget(SnapTargets* targets, const RECT& r);

// The four walls just outside a work area of width w and height h.
void AddSnapWalls(SnapTargets* targets, int w, int h);

// Recomputes qiv_snapTargets: the four walls, image windows, text windows, the input box,
// the button box and the main window, in that order.
void RebuildSnapTargets();

// The WM_MOVING handler of every framework window: with Ctrl down, shifts *proposed so that
// the window touches and lines up with a target within 7 pixels.
void SnapMovingWindow(HWND hwnd, RECT* proposed);

// The snapping rule itself: current is the window's present rectangle (the target equal to it
// is the window itself), proposed the rectangle being adjusted in place.
void SnapRectangle(const SnapTargets& targets, const RECT& current, RECT* proposed);
