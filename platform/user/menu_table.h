// Menus as plain data: a table of menus addressed by opaque handles (index + generation), and
// snapshots that the backend turns into Qt menus and the test responder records.
#pragma once

#include "platform/win32_user.h"

#include <string>
#include <vector>

namespace platform {

struct MenuItemSnapshot {
    UINT type = MFT_STRING; // MFT_STRING or MFT_SEPARATOR
    UINT state = 0;         // MFS_GRAYED, MFS_CHECKED …
    UINT id = 0;
    std::wstring text; // with '&' mnemonics and '\t' shortcut text
    bool hasSubmenu = false;
    std::vector<MenuItemSnapshot> submenu; // items of the sub-menu
};

struct MenuSnapshot {
    std::vector<MenuItemSnapshot> items;
};

// A deep copy of a menu and its sub-menus; false for a stale handle.
bool SnapshotMenu(HMENU menu, MenuSnapshot* snapshot);

} // namespace platform
