// Facts about the desktop that the backend measures on the GUI thread and any thread reads:
// screen and work area, the frame that top-level windows get, the menu bar height, the key
// state of the latest input and the cursor position.
#pragma once

#include "platform/user/thread_queue.h"
#include "platform/win32_user.h"

namespace platform {

struct DesktopMetrics {
    int screenWidth = 1280;
    int screenHeight = 1024;
    RECT workArea = {0, 0, 1280, 1024};
    // Frame of a top-level window with a caption or frame style: left, top (caption included),
    // right and bottom widths.
    int frameLeft = 0;
    int frameTop = 0;
    int frameRight = 0;
    int frameBottom = 0;
    int menuHeight = 19;
    int screenDepth = 32;
};

DesktopMetrics GetDesktopMetrics();
void SetDesktopMetrics(const DesktopMetrics& metrics);

// True when a window of this style gets the desktop frame.
bool HasFrame(DWORD style);

// The key and button state as the latest desktop input left it (GUI thread writes).
InputState GetAsyncInputState();
void SetAsyncInputState(const InputState& state);
POINT GetLastCursorPos();
// The top-level window the desktop reports as active (null when none of ours is).
HWND GetActiveDesktopWindow();
void SetActiveDesktopWindow(HWND hwnd);
void SetLastCursorPos(POINT point);
// The window holding the mouse capture, whichever thread owns it (null when none does).
HWND CaptureWindow();
// Forgets the capture of a window being destroyed.
void DropCaptureOf(HWND hwnd);

} // namespace platform
