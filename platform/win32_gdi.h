// Win32 GDI subset: device contexts, DIB sections and bitmaps, blits with stretch modes,
// brushes, fonts and text output, colour tables.
#pragma once

#include "platform/win32_types.h"

HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
