#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/text_convert.h"

namespace {

constexpr int TEXT_CHARS = 256;

} // namespace

void MenuAddItem(HMENU menu, int position, int state, int id, const char* text) {
    wchar_t wide[TEXT_CHARS];
    Utf8ToWide(text, wide, TEXT_CHARS);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
    info.fType = MFT_STRING;
    info.fState = static_cast<UINT>(state);
    info.wID = static_cast<UINT>(id);
    info.dwTypeData = wide;
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
}

void MenuAddSeparator(HMENU menu, int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_SEPARATOR;
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
}

void MenuAddSubmenu(HMENU menu, HMENU submenu, int position, const char* text) {
    wchar_t wide[TEXT_CHARS];
    Utf8ToWide(text, wide, TEXT_CHARS);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU | MIIM_STRING;
    info.hSubMenu = submenu;
    info.dwTypeData = wide;
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
}
