// Menus: creation, items and states, menu bars.
#include "platform/user/backend.h"
#include "platform/user/internal.h"
#include "platform/user/menu_table.h"
#include "platform/user/window_table.h"

#include <cstdint>
#include <mutex>

namespace platform {
namespace {

struct MenuItem {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    std::wstring text;
};

struct Menu {
    bool inUse = false;
    std::uint32_t generation = 0;
    HMENU self = nullptr;
    std::vector<MenuItem> items;
};

constexpr int MAX_MENUS = 1024;
constexpr int MAX_MENU_DEPTH = 16;
std::mutex menuMutex;
Menu menus[MAX_MENUS];

Menu* FindMenuLocked(HMENU handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    auto index = static_cast<std::intptr_t>(value & 0xFFFF) - 1;
    if (index < 0 || index >= MAX_MENUS) {
        return nullptr;
    }
    Menu& menu = menus[index];
    return menu.inUse && menu.self == handle ? &menu : nullptr;
}

HMENU NewMenu() {
    std::lock_guard lock(menuMutex);
    for (int i = 0; i < MAX_MENUS; ++i) {
        Menu& menu = menus[i];
        if (!menu.inUse) {
            std::uint32_t generation = menu.generation + 1;
            if (generation > 0x7FFFFFFF) {
                generation = 1;
            }
            menu = Menu();
            menu.inUse = true;
            menu.generation = generation;
            auto value = (static_cast<std::uintptr_t>(generation) << 16) |
                         static_cast<std::uintptr_t>(i + 1);
            menu.self = reinterpret_cast<HMENU>(value);
            return menu.self;
        }
    }
    return nullptr;
}

bool SnapshotLocked(HMENU handle, int depth, std::vector<MenuItemSnapshot>* out) {
    Menu* menu = FindMenuLocked(handle);
    if (!menu || depth > MAX_MENU_DEPTH) {
        return false;
    }
    out->clear();
    for (const MenuItem& item : menu->items) {
        MenuItemSnapshot s;
        s.type = item.type;
        s.state = item.state;
        s.id = item.id;
        s.text = item.text;
        if (item.submenu) {
            s.hasSubmenu = SnapshotLocked(item.submenu, depth + 1, &s.submenu);
        }
        out->push_back(std::move(s));
    }
    return true;
}

// True when `inner` is `outer` or reachable from it: inserting it would make a cycle.
bool ReachesLocked(HMENU outer, HMENU inner, int depth) {
    if (outer == inner) {
        return true;
    }
    Menu* menu = FindMenuLocked(outer);
    if (!menu || depth > MAX_MENU_DEPTH) {
        return false;
    }
    for (const MenuItem& item : menu->items) {
        if (item.submenu && ReachesLocked(item.submenu, inner, depth + 1)) {
            return true;
        }
    }
    return false;
}

bool InsertItem(HMENU handle, UINT position, bool byPosition, MenuItem item) {
    std::lock_guard lock(menuMutex);
    Menu* menu = FindMenuLocked(handle);
    if (!menu) {
        return false;
    }
    if (item.submenu && (!FindMenuLocked(item.submenu) || ReachesLocked(item.submenu, handle, 0))) {
        return false;
    }
    auto& items = menu->items;
    std::size_t index = items.size();
    if (byPosition) {
        if (position < items.size()) {
            index = position;
        }
    } else {
        index = items.size() + 1;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].id == position && !items[i].submenu) {
                index = i;
                break;
            }
        }
        if (index > items.size()) {
            return false;
        }
    }
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return true;
}

MenuItem* ItemLocked(Menu* menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION) {
        return item < menu->items.size() ? &menu->items[item] : nullptr;
    }
    for (MenuItem& i : menu->items) {
        if (i.id == item && !i.submenu) {
            return &i;
        }
    }
    return nullptr;
}

void DestroyMenuLocked(HMENU handle, int depth) {
    Menu* menu = FindMenuLocked(handle);
    if (!menu || depth > MAX_MENU_DEPTH) {
        return;
    }
    std::vector<HMENU> submenus;
    for (const MenuItem& item : menu->items) {
        if (item.submenu) {
            submenus.push_back(item.submenu);
        }
    }
    std::uint32_t generation = menu->generation;
    *menu = Menu();
    menu->generation = generation;
    for (HMENU sub : submenus) {
        DestroyMenuLocked(sub, depth + 1);
    }
}

} // namespace

bool SnapshotMenu(HMENU menu, MenuSnapshot* snapshot) {
    std::lock_guard lock(menuMutex);
    return SnapshotLocked(menu, 0, &snapshot->items);
}

} // namespace platform

using namespace platform;

HMENU CreateMenu() {
    return NewMenu();
}

HMENU CreatePopupMenu() {
    return NewMenu();
}

BOOL DestroyMenu(HMENU menu) {
    std::lock_guard lock(menuMutex);
    if (!FindMenuLocked(menu)) {
        return FALSE;
    }
    DestroyMenuLocked(menu, 0);
    return TRUE;
}

BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
    if (!info) {
        return FALSE;
    }
    MenuItem entry;
    UINT mask = info->fMask;
    if (mask & (MIIM_FTYPE | MIIM_TYPE)) {
        entry.type = info->fType & (MFT_SEPARATOR | MFT_RIGHTJUSTIFY);
    }
    if ((mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(info->fType & MFT_SEPARATOR))) {
        if (info->dwTypeData) {
            entry.text = info->dwTypeData;
        }
    }
    if (mask & MIIM_STATE) {
        entry.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
    }
    if (mask & MIIM_ID) {
        entry.id = info->wID;
    }
    if (mask & MIIM_SUBMENU) {
        entry.submenu = info->hSubMenu;
    }
    return InsertItem(menu, item, byPosition != FALSE, std::move(entry)) ? TRUE : FALSE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR newItem) {
    MenuItem entry;
    if (flags & MF_SEPARATOR) {
        entry.type = MFT_SEPARATOR;
    } else if (newItem) {
        entry.text = newItem;
    }
    entry.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (entry.state & (MF_GRAYED | MF_DISABLED)) {
        entry.state = (entry.state & MF_CHECKED) | MFS_GRAYED;
    }
    if (flags & MF_POPUP) {
        entry.submenu = reinterpret_cast<HMENU>(idNewItem);
    } else {
        entry.id = static_cast<UINT>(idNewItem);
    }
    return InsertItem(menu, 0xFFFFFFFFu, true, std::move(entry)) ? TRUE : FALSE;
}

int GetMenuItemCount(HMENU menu) {
    std::lock_guard lock(menuMutex);
    Menu* m = FindMenuLocked(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

DWORD CheckMenuItem(HMENU menu, UINT idCheckItem, UINT check) {
    std::lock_guard lock(menuMutex);
    Menu* m = FindMenuLocked(menu);
    MenuItem* item = m ? ItemLocked(m, idCheckItem, check) : nullptr;
    if (!item) {
        return static_cast<DWORD>(-1);
    }
    DWORD previous = item->state & MF_CHECKED;
    item->state = (item->state & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
    return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT idEnableItem, UINT enable) {
    std::lock_guard lock(menuMutex);
    Menu* m = FindMenuLocked(menu);
    MenuItem* item = m ? ItemLocked(m, idEnableItem, enable) : nullptr;
    if (!item) {
        return -1;
    }
    BOOL previous = static_cast<BOOL>(item->state & MFS_GRAYED);
    item->state &= ~static_cast<UINT>(MFS_GRAYED);
    if (enable & (MF_GRAYED | MF_DISABLED)) {
        item->state |= MFS_GRAYED;
    }
    return previous;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
    RECT rect;
    {
        std::lock_guard menuLock(menuMutex);
        if (menu && !FindMenuLocked(menu)) {
            return FALSE;
        }
    }
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record || (record->style & WS_CHILD)) {
            return FALSE;
        }
        record->menu = menu;
        rect = record->rect;
    }
    // The frame keeps its size; the client area gives up (or takes back) the bar's height.
    backend::ApplyMenu(hwnd);
    ApplyWindowRect(hwnd, rect, true);
    return TRUE;
}

HMENU GetMenu(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->menu : nullptr;
}

BOOL DrawMenuBar(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return FALSE;
    }
    backend::ApplyMenu(hwnd);
    return TRUE;
}
