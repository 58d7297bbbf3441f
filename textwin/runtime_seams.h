// What the text windows use from the runtime (start-up, main window, worker, pumps, snapping).
// The runtime defines these; until its own header exists, they are declared here.
#pragma once

#include "platform/win32_user.h"

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

// What the runtime calls in the text windows besides their programming interface.
// The class's window procedure, for start-up's registration.
WNDPROC TextWindowProcedure();
// The current text window's number.
int CurrentTextWindowNumber();
// The main window's creation prompts, on the main thread: print to and read a line (at most
// 255 bytes and a terminator) from the current text window; the line is empty if there is
// no window to read from or the input was abandoned.
void PromptPrint(const char* text);
void PromptInput(char line[256]);
// Exit: closes the log file of every open text window that has one.
void CloseTextWindowLogs();
