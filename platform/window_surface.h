// The client surface of a window: the pixels that the desktop shows for its client area.
// Window device contexts draw into it (GDI part); the windowing part owns it, resizes it with
// the client area and shows it. Internal to the platform layer.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>

namespace platform {

struct WindowSurface {
    std::uint32_t* pixels; // 0x00RRGGBB, top-down rows
    int width;             // client width in pixels
    int height;            // client height in pixels
    int stride;            // pixels per row
};

// Locks the client surface of hwnd for drawing; the desktop does not repaint the window from
// it until UnlockWindowSurface. Any thread may call it. Returns false, leaving *surface
// untouched, when hwnd is not a live window with a client surface.
bool LockWindowSurface(HWND hwnd, WindowSurface* surface);

// Unlocks the surface and has the desktop show the changed rectangle (client coordinates;
// null means the whole client area). Never waits for another thread.
void UnlockWindowSurface(HWND hwnd, const RECT* changed);

// The solid colour (0x00BBGGRR) of a brush handle that is not a system-colour index, used to
// fill client surfaces with a class background. The GDI part defines it; until it does, a weak
// default in the windowing part answers false and such surfaces start black.
bool SolidBrushColor(HBRUSH brush, COLORREF* color);

} // namespace platform
