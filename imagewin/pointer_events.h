// Pointer state and click-tool events: process-wide words that image windows write from mouse
// messages and that code on the worker thread polls instead of handling messages itself. The
// image window procedure writes them while the worker pumps; readers run on the same thread
// between pumps, so plain ints suffice.
#pragma once

#include "platform/win32_types.h"

#include <atomic>

// Pointer state, recorded over every image window while PointerRecording is non-zero. The
// button and key words keep the bit values of the message's key state (MK_LBUTTON 1,
// MK_SHIFT 4, MK_CONTROL 8, MK_MBUTTON 16).
extern int PointerRecording; // set by the user program; the framework never clears it
extern int PointerWindow;    // image window of the last recorded event; -1 before the first
extern int PointerX;         // position of that event in image pixels of that window
extern int PointerY;
extern int PointerLeft;   // 1 if the left button was down
extern int PointerMiddle; // 16 if the middle button was down
extern int PointerShift;  // 4 if Shift was down (1 or 0 after a click taken by a click tool)
extern int PointerCtrl;   // 8 if Ctrl was down

// Click-tool events. A click tool sets ToolActive and ToolWindow and consumes the pending
// flags; the image window of ToolWindow raises them. The main window's pop-up reads ToolActive
// too, from the main thread.
extern std::atomic<int> ToolActive;
extern int ToolWindow;
extern int ClickPending; // left press, at ClickX, ClickY
extern int ClickX;
extern int ClickY;
extern int CancelPending; // right or middle press
extern int MovePending;   // the mouse moved, to MoveX, MoveY
extern int MoveX;
extern int MoveY;

// Recording step for WM_MOUSEMOVE, WM_LBUTTONDOWN and WM_MBUTTONDOWN: when recording is on
// and hwnd is an image window in use, stores its number, the client position (the message's
// signed 16-bit words) in image pixels at its zoom, held inside the image, and the key state.
void RecordPointer(HWND hwnd, WPARAM keyState, int clientX, int clientY);

// Click-tool step for WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN and WM_MBUTTONDOWN: while a
// tool runs and hwnd is its window, raises the matching event.
void FeedClickTool(HWND hwnd, UINT message, WPARAM keyState, int clientX, int clientY);

// Both steps in their order, for the image window procedure's mouse messages (other messages
// are ignored). Returns true while a click tool runs: the procedure then does nothing further
// with the message (no menu for a right or middle press).
bool RunPointerSteps(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
