// What the text windows use from the runtime (start-up, main window, worker, pumps, snapping).
// The runtime defines these; until its own header exists, they are declared here.
#pragma once

#include "platform/win32_types.h"

#include <atomic>
#include <cstdint>

// 0 normal, 1 exit requested, 2 worker finished.
extern std::atomic<int> ExitState;
// Colour depth of the display, read when the main window is created.
extern int ScreenBitsPerPixel;
// The main window: owner of every framework window and target of forwarded keys.
extern HWND MainWindow;

// Dispatches everything waiting in the calling thread's queue, with the boxes' dialog keys.
void QIV_PumpMessages();
// The same for the main thread, without the dialog handling.
void PumpMainMessages();
// Shows a narrow text centred in the main window's status line.
void QIV_SetStatus(const char* text);
// Milliseconds from the performance counter; differences are taken unsigned.
std::uint32_t QIV_GetTime();

void RebuildSnapTargets();
void SnapMovingWindow(HWND hwnd, RECT* proposed);
