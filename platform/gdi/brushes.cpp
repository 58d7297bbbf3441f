// Solid brushes and the system colours.
#include "platform/gdi/brushes.h"

#include "platform/gdi/gdi_objects.h"

#include <array>

namespace {

constexpr int SYS_COLOR_COUNT = 31;

// The desktop's colours for window parts, as a current Win32 desktop sets them by default.
constexpr std::array<COLORREF, SYS_COLOR_COUNT> SYS_COLORS = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 0, 0),       // COLOR_BACKGROUND
    RGB(153, 180, 209), // COLOR_ACTIVECAPTION
    RGB(191, 205, 219), // COLOR_INACTIVECAPTION
    RGB(240, 240, 240), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(100, 100, 100), // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
    RGB(180, 180, 180), // COLOR_ACTIVEBORDER
    RGB(244, 247, 252), // COLOR_INACTIVEBORDER
    RGB(171, 171, 171), // COLOR_APPWORKSPACE
    RGB(0, 120, 215),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240), // COLOR_BTNFACE
    RGB(160, 160, 160), // COLOR_BTNSHADOW
    RGB(109, 109, 109), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(0, 0, 0),       // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105), // COLOR_3DDKSHADOW
    RGB(227, 227, 227), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0),       // (unused)
    RGB(0, 102, 204),   // COLOR_HOTLIGHT
    RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 120, 215),   // COLOR_MENUHILIGHT
    RGB(240, 240, 240), // COLOR_MENUBAR
};

bool ValidSysColor(int index) {
    return index >= 0 && index < SYS_COLOR_COUNT && index != 25;
}

std::shared_ptr<platform::gdi::Brush> NewBrush(COLORREF color) {
    auto brush = std::make_shared<platform::gdi::Brush>();
    brush->color = color & 0x00FFFFFFu;
    return brush;
}

} // namespace

namespace platform::gdi {

bool BrushColor(HBRUSH brush, COLORREF* color) {
    // Win32 lets a window class or FillRect name a system colour as COLOR_* + 1.
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= SYS_COLOR_COUNT) {
        if (!ValidSysColor(static_cast<int>(value) - 1)) {
            return false;
        }
        *color = SYS_COLORS[value - 1];
        return true;
    }
    std::lock_guard lock(TableMutex());
    auto b = FindLocked<Brush>(brush, ObjectKind::BRUSH);
    if (!b || b->hollow) {
        return false;
    }
    *color = b->color;
    return true;
}

} // namespace platform::gdi

HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(platform::gdi::AddObject(NewBrush(color)));
}

DWORD GetSysColor(int index) {
    return ValidSysColor(index) ? SYS_COLORS[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
    // One shared brush per colour, made on first use and never deleted.
    static const std::array<HBRUSH, SYS_COLOR_COUNT> brushes = [] {
        std::array<HBRUSH, SYS_COLOR_COUNT> made{};
        for (int i = 0; i < SYS_COLOR_COUNT; ++i) {
            if (ValidSysColor(i)) {
                auto brush = NewBrush(SYS_COLORS[i]);
                brush->stock = true;
                made[i] = static_cast<HBRUSH>(platform::gdi::AddObject(std::move(brush)));
            }
        }
        return made;
    }();
    return ValidSysColor(index) ? brushes[index] : nullptr;
}
