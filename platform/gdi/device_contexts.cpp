// Device contexts: window, screen and memory DCs, and the capabilities they report.
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_info.h"

using platform::gdi::Bitmap;
using platform::gdi::Brush;
using platform::gdi::Dc;
using platform::gdi::DcKind;
using platform::gdi::Font;
using platform::gdi::ObjectKind;

namespace {

// Selects the defaults that every new DC starts with: the white brush, the system font and,
// for memory DCs, the 1 × 1 bitmap. Called with the table mutex held.
void SelectDefaultsLocked(Dc& dc) {
    dc.brushHandle = platform::gdi::StockObject(WHITE_BRUSH);
    dc.brush = platform::gdi::FindLocked<Brush>(dc.brushHandle, ObjectKind::BRUSH);
    dc.fontHandle = platform::gdi::StockObject(SYSTEM_FONT);
    dc.font = platform::gdi::FindLocked<Font>(dc.fontHandle, ObjectKind::FONT);
    if (dc.dcKind == DcKind::MEMORY) {
        dc.bitmapHandle = platform::gdi::DefaultBitmap();
        dc.bitmap = platform::gdi::FindLocked<Bitmap>(dc.bitmapHandle, ObjectKind::BITMAP);
    }
}

HDC NewDc(DcKind kind, HWND hwnd) {
    auto dc = std::make_shared<Dc>();
    dc->dcKind = kind;
    dc->hwnd = hwnd;
    {
        std::lock_guard lock(platform::gdi::TableMutex());
        SelectDefaultsLocked(*dc);
    }
    // Stock defaults need no selection count: they are never deleted.
    return static_cast<HDC>(platform::gdi::AddObject(std::move(dc)));
}

void ReleaseSelectionsLocked(Dc& dc) {
    for (platform::gdi::GdiObject* object :
         {static_cast<platform::gdi::GdiObject*>(dc.bitmap.get()),
          static_cast<platform::gdi::GdiObject*>(dc.brush.get()),
          static_cast<platform::gdi::GdiObject*>(dc.font.get())}) {
        if (object && !object->stock) {
            --object->selections;
        }
    }
}

// ReleaseDC frees only DCs from GetDC with the same window (null for the screen).
enum class Release { ANY, FROM_GET_DC };

bool DeleteDcLocked(HDC hdc, Release which, HWND hwnd) {
    auto dc = platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC);
    if (!dc ||
        (which == Release::FROM_GET_DC && (dc->dcKind == DcKind::MEMORY || dc->hwnd != hwnd))) {
        return false;
    }
    ReleaseSelectionsLocked(*dc);
    platform::gdi::RemoveObjectLocked(hdc);
    return true;
}

} // namespace

HDC GetDC(HWND hwnd) {
    return NewDc(hwnd ? DcKind::WINDOW : DcKind::SCREEN, hwnd);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    std::lock_guard lock(platform::gdi::TableMutex());
    return DeleteDcLocked(hdc, Release::FROM_GET_DC, hwnd) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc) {
        std::lock_guard lock(platform::gdi::TableMutex());
        if (!platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC)) {
            return nullptr;
        }
    }
    return NewDc(DcKind::MEMORY, nullptr);
}

BOOL DeleteDC(HDC hdc) {
    std::lock_guard lock(platform::gdi::TableMutex());
    return DeleteDcLocked(hdc, Release::ANY, nullptr) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC hdc, int index) {
    {
        std::lock_guard lock(platform::gdi::TableMutex());
        if (!platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC)) {
            return 0;
        }
    }
    constexpr int DPI = 96;
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZRES:
        return platform::gdi::QueryScreenInfo().width;
    case VERTRES:
        return platform::gdi::QueryScreenInfo().height;
    case HORZSIZE:
        return platform::gdi::QueryScreenInfo().width * 254 / (DPI * 10);
    case VERTSIZE:
        return platform::gdi::QueryScreenInfo().height * 254 / (DPI * 10);
    case BITSPIXEL:
        return platform::gdi::QueryScreenInfo().bitsPerPixel;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return DPI;
    case COLORRES:
        return 24;
    default:
        return 0;
    }
}

BOOL GdiFlush() {
    // Every call draws before it returns; there is no batch to flush.
    return TRUE;
}
