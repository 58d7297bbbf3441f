// Brush colours for the other platform parts (window class backgrounds, FillRect).
#pragma once

#include "platform/win32_gdi.h"

namespace platform::gdi {

// The colour a brush paints: a solid brush, or a system colour given as COLOR_* + 1. False for
// a hollow brush and for anything else.
bool BrushColor(HBRUSH brush, COLORREF* color);

} // namespace platform::gdi
