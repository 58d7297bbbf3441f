// Small helpers of the programming interface: the millisecond clock, the status line, the
// "Pause" box, narrow window texts, menu building and the message pump.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>

// Milliseconds of the monotonic clock, kept to the low 32 bits; take differences of two
// readings as unsigned 32-bit values.
std::uint32_t QIV_GetTime();

// Shows text centred in the main window's status line. Texts of up to 63 bytes fit; longer
// ones are cut at a character boundary.
void QIV_SetStatus(const char* text);

// A modal "Pause" box with an OK button, on the calling thread (at most 255 characters).
void QIV_Pause(const char* text);

// Window texts as narrow strings (at most 255 characters). QIV_GetWindowText reads at most
// size (≤ 256) characters into buffer of size bytes, cut at a character boundary; returns the
// bytes written.
void QIV_SetWindowText(HWND hwnd, const char* text);
int QIV_GetWindowText(HWND hwnd, char* buffer, int size);

// Menu building by position. State 0 is enabled, 3 disabled and grey.
void MenuAddItem(HMENU menu, int position, int state, int id, const char* text);
void MenuAddSeparator(HMENU menu, int position);
void MenuAddSubmenu(HMENU menu, HMENU submenu, int position, const char* text);

// Brings a window to the front; the last line of the window report's generated source puts
// the main window, QIVMAINWINDOW, there.
void QIV_SetForeground(HWND hwnd);
HWND QIV_MainWindow();
#define QIVMAINWINDOW (QIV_MainWindow())

// Dispatches every message waiting in the calling thread's queue and returns when it is empty;
// never waits. Keys of the input box and the button box get their dialog handling.
void QIV_PumpMessages();

// Dispatches the calling thread's messages as they arrive, sleeping in between, until
// milliseconds have passed (rounded to the nearest millisecond) or Stop is requested. Returns 0
// when the time ran out, 1 on Stop.
int QIV_Wait(int milliseconds);
