// The drawing attributes a DC carries: colours, background mode, stretch mode, brush origin.
#include "platform/gdi/gdi_objects.h"

using platform::gdi::Dc;
using platform::gdi::ObjectKind;

namespace {

// Runs f on the DC under the table mutex; fallback when the handle is no DC.
template <typename R, typename F>
R WithDc(HDC hdc, R fallback, F f) {
    std::lock_guard lock(platform::gdi::TableMutex());
    auto dc = platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC);
    return dc ? f(*dc) : fallback;
}

template <typename T>
T Exchange(T* field, T value) {
    const T previous = *field;
    *field = value;
    return previous;
}

} // namespace

int SetStretchBltMode(HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) {
        return 0;
    }
    return WithDc(hdc, 0, [&](Dc& dc) { return Exchange(&dc.stretchMode, mode); });
}

int GetStretchBltMode(HDC hdc) {
    return WithDc(hdc, 0, [](Dc& dc) { return dc.stretchMode; });
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
    return WithDc(hdc, FALSE, [&](Dc& dc) {
        if (previous) {
            *previous = dc.brushOrigin;
        }
        dc.brushOrigin = POINT{x, y};
        return TRUE;
    });
}

BOOL GetBrushOrgEx(HDC hdc, LPPOINT origin) {
    return WithDc(hdc, FALSE, [&](Dc& dc) {
        if (!origin) {
            return FALSE;
        }
        *origin = dc.brushOrigin;
        return TRUE;
    });
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return WithDc(hdc, CLR_INVALID,
                  [&](Dc& dc) { return Exchange(&dc.textColor, color & 0x00FFFFFFu); });
}

COLORREF GetTextColor(HDC hdc) {
    return WithDc(hdc, CLR_INVALID, [](Dc& dc) { return dc.textColor; });
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return WithDc(hdc, CLR_INVALID,
                  [&](Dc& dc) { return Exchange(&dc.bkColor, color & 0x00FFFFFFu); });
}

COLORREF GetBkColor(HDC hdc) {
    return WithDc(hdc, CLR_INVALID, [](Dc& dc) { return dc.bkColor; });
}

int SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return WithDc(hdc, 0, [&](Dc& dc) { return Exchange(&dc.bkMode, mode); });
}

int GetBkMode(HDC hdc) {
    return WithDc(hdc, 0, [](Dc& dc) { return dc.bkMode; });
}
