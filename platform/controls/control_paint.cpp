#include "platform/controls/control_paint.h"

#include "platform/win32_user.h"

namespace platform::controls {
namespace {

void Line(HDC hdc, int x, int y, int width, int height, int sysColor) {
    RECT r = {x, y, x + width, y + height};
    FillRect(hdc, &r, GetSysColorBrush(sysColor));
}

// Top and left in one colour, bottom and right in another.
void Bevel(HDC hdc, const RECT& r, int topLeft, int bottomRight) {
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {
        return;
    }
    Line(hdc, r.left, r.top, w, 1, topLeft);
    Line(hdc, r.left, r.top, 1, h, topLeft);
    Line(hdc, r.left, r.bottom - 1, w, 1, bottomRight);
    Line(hdc, r.right - 1, r.top, 1, h, bottomRight);
}

RECT Inset(const RECT& r, int by) {
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

} // namespace

void FillSysColor(HDC hdc, const RECT& rect, int sysColor) {
    FillRect(hdc, &rect, GetSysColorBrush(sysColor));
}

void DrawSunkenEdge(HDC hdc, const RECT& rect) {
    Bevel(hdc, rect, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    Bevel(hdc, Inset(rect, 1), COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

void DrawButtonFrame(HDC hdc, const RECT& rect, bool pressed) {
    if (pressed) {
        Bevel(hdc, rect, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW);
        Bevel(hdc, Inset(rect, 1), COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        return;
    }
    Bevel(hdc, rect, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
    Bevel(hdc, Inset(rect, 1), COLOR_3DLIGHT, COLOR_BTNSHADOW);
}

void DrawFocusDots(HDC hdc, const RECT& rect) {
    for (int x = rect.left; x < rect.right; x += 2) {
        Line(hdc, x, rect.top, 1, 1, COLOR_BTNTEXT);
        Line(hdc, x, rect.bottom - 1, 1, 1, COLOR_BTNTEXT);
    }
    for (int y = rect.top; y < rect.bottom; y += 2) {
        Line(hdc, rect.left, y, 1, 1, COLOR_BTNTEXT);
        Line(hdc, rect.right - 1, y, 1, 1, COLOR_BTNTEXT);
    }
}

} // namespace platform::controls
