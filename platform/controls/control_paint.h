// Drawing pieces shared by the drawn controls: solid fills, the 3-D frames and the focus mark.
#pragma once

#include "platform/win32_gdi.h"

namespace platform::controls {

void FillSysColor(HDC hdc, const RECT& rect, int sysColor);
// The two-pixel sunken border of WS_EX_CLIENTEDGE, drawn inside rect.
void DrawSunkenEdge(HDC hdc, const RECT& rect);
// A push button's raised frame, or its flat pressed frame.
void DrawButtonFrame(HDC hdc, const RECT& rect, bool pressed);
// The dotted rectangle of the keyboard focus.
void DrawFocusDots(HDC hdc, const RECT& rect);

} // namespace platform::controls
