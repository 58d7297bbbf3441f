#include "platform/qt/menu_builder.h"

#include <QAction>

namespace platform::qt {

QString ToQString(const std::wstring& text) {
    return QString::fromStdWString(text);
}

std::wstring FromQString(const QString& text) {
    return text.toStdWString();
}

void FillMenu(QMenu* menu, const std::vector<MenuItemSnapshot>& items) {
    for (const MenuItemSnapshot& item : items) {
        if (item.type & MFT_SEPARATOR) {
            menu->addSeparator();
            continue;
        }
        if (item.hasSubmenu) {
            QMenu* sub = menu->addMenu(ToQString(item.text));
            FillMenu(sub, item.submenu);
            sub->setEnabled(!(item.state & MFS_GRAYED));
            continue;
        }
        QAction* action = menu->addAction(ToQString(item.text));
        action->setData(QVariant::fromValue(item.id));
        action->setEnabled(!(item.state & MFS_GRAYED));
        if (item.state & MFS_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

UINT CommandOf(const QAction* action) {
    if (!action || !action->data().isValid()) {
        return 0;
    }
    return action->data().toUInt();
}

} // namespace platform::qt
