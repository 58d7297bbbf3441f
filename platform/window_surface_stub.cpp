// Placeholder until the windowing part provides client surfaces: no window has one.
#include "platform/window_surface.h"

namespace platform {

bool LockWindowSurface(HWND, WindowSurface*) { return false; }
void UnlockWindowSurface(HWND, const RECT*) {}

} // namespace platform
