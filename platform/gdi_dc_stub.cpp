// Placeholder until the GDI part provides device contexts.
#include "platform/win32_gdi.h"

HDC GetDC(HWND) { return nullptr; }
int ReleaseDC(HWND, HDC) { return 0; }
