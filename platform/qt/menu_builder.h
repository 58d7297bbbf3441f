// Building Qt menus from menu snapshots. Actions carry their command id as data.
#pragma once

#include "platform/user/menu_table.h"

#include <QMenu>
#include <QString>

namespace platform::qt {

QString ToQString(const std::wstring& text);
std::wstring FromQString(const QString& text);

// Adds the items to menu: separators, sub-menus, greyed and checked items. The '&' mnemonics
// and the '\t' shortcut text show as Qt shows them.
void FillMenu(QMenu* menu, const std::vector<MenuItemSnapshot>& items);

// The command id an action stands for (0 for none).
UINT CommandOf(const QAction* action);

} // namespace platform::qt
