// What the boxes use from the runtime (main window, window texts, menus, snapping) and from
// the text windows (the rename dialogue). Those subsystems define these; until their headers
// are on the main line, the boxes declare them here with the same signatures.
#pragma once

#include "platform/win32_types.h"

// The main window: owner of both boxes and target of the keys the button box forwards.
extern HWND MainWindow;

// Window texts as narrow strings through a 256-character wide buffer.
void QIV_SetWindowText(HWND hwnd, const char* text);
int QIV_GetWindowText(HWND hwnd, char* buffer, int size);
// Inserts a menu item at a position; state 0 is enabled.
void MenuAddItem(HMENU menu, int position, int state, int id, const char* text);

void RebuildSnapTargets();
void SnapMovingWindow(HWND hwnd, RECT* proposed);

// The current text window: brought forward (or opened), printed to, read from. QIV_Input
// fills a 256-byte buffer.
void QIV_ShowTextWindow();
void QIV_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void QIV_Input(char* buffer);
