// What image windows need from the runtime: the owner of every framework window and the
// snapping of windows dragged with Ctrl. The runtime fills this in at start-up, before the
// worker creates any window; an entry left empty does nothing (no owner, no snapping).
#pragma once

#include "platform/win32_types.h"

struct ImageWindowServices {
    HWND owner;                                          // the main window
    void (*rebuildSnapTargets)();                        // after a window appears, moves or resizes
    void (*snapMovingWindow)(HWND hwnd, RECT* proposed); // the WM_MOVING handler
};

extern ImageWindowServices qiv_image_services;

// Calls through the table, doing nothing for an empty entry.
void RebuildImageSnapTargets();
void SnapMovingImageWindow(HWND hwnd, RECT* proposed);
