// Synthetic input, delivered as Qt events to the widgets of a window.
#include "platform/qt/key_table.h"
#include "platform/qt/native_window.h"
#include "platform/qt/widget_registry.h"
#include "platform/testing.h"
#include "platform/window_surface.h"

#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>

namespace platform::testing {
namespace {

Qt::MouseButtons heldButtons;

Qt::KeyboardModifiers ToQt(unsigned modifiers) {
    Qt::KeyboardModifiers result;
    if (modifiers & SHIFT) {
        result |= Qt::ShiftModifier;
    }
    if (modifiers & CONTROL) {
        result |= Qt::ControlModifier;
    }
    if (modifiers & ALT) {
        result |= Qt::AltModifier;
    }
    return result;
}

Qt::MouseButton ToQt(Button button) {
    switch (button) {
    case Button::Left:
        return Qt::LeftButton;
    case Button::Right:
        return Qt::RightButton;
    case Button::Middle:
        return Qt::MiddleButton;
    }
    return Qt::NoButton;
}

void SendMouse(HWND hwnd, QEvent::Type type, int x, int y, Qt::MouseButton button,
               unsigned modifiers) {
    QWidget* widget = qt::ContainerOf(hwnd);
    if (!widget) {
        return;
    }
    QPointF local(x, y);
    QPointF global = widget->mapToGlobal(local);
    QMouseEvent event(type, local, global, button, heldButtons, ToQt(modifiers));
    QApplication::sendEvent(widget, &event);
}

QString KeyText(int vk, unsigned modifiers) {
    bool shift = (modifiers & SHIFT) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (modifiers & CONTROL) {
            return QString(QChar(vk - 'A' + 1));
        }
        return QString(QChar(shift ? vk : vk - 'A' + 'a'));
    }
    if (vk >= '0' && vk <= '9' && !shift) {
        return QString(QChar(vk));
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        return QString(QChar('0' + vk - VK_NUMPAD0));
    }
    switch (vk) {
    case VK_SPACE:
        return QStringLiteral(" ");
    case VK_RETURN:
        return QStringLiteral("\r");
    case VK_BACK:
        return QStringLiteral("\b");
    case VK_TAB:
        return QStringLiteral("\t");
    case VK_ESCAPE:
        return QString(QChar(0x1B));
    case VK_ADD:
        return QStringLiteral("+");
    case VK_SUBTRACT:
        return QStringLiteral("-");
    default:
        return {};
    }
}

void SendKey(HWND hwnd, QEvent::Type type, int vk, unsigned modifiers) {
    QWidget* widget = qt::ContainerOf(hwnd);
    if (!widget) {
        return;
    }
    bool keypad = false;
    int key = qt::QtKeyOf(vk, &keypad);
    Qt::KeyboardModifiers mods = ToQt(modifiers);
    if (keypad) {
        mods |= Qt::KeypadModifier;
    }
    QKeyEvent event(type, key, mods, KeyText(vk, modifiers));
    QApplication::sendEvent(widget, &event);
}

QMenuBar* MenuBarOf(HWND hwnd) {
    qt::NativeWindow* top = qt::TopLevelOf(hwnd);
    return top ? top->findChild<QMenuBar*>() : nullptr;
}

} // namespace

void MouseMove(HWND hwnd, int x, int y, unsigned modifiers) {
    SendMouse(hwnd, QEvent::MouseMove, x, y, Qt::NoButton, modifiers);
}

void PointerToDesktop(HWND hwnd, int screenX, int screenY) {
    QWidget* widget = qt::ContainerOf(hwnd);
    if (!widget) {
        return;
    }
    QCursor::setPos(screenX, screenY);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

void MouseDown(HWND hwnd, Button button, int x, int y, unsigned modifiers) {
    heldButtons |= ToQt(button);
    SendMouse(hwnd, QEvent::MouseButtonPress, x, y, ToQt(button), modifiers);
}

void MouseUp(HWND hwnd, Button button, int x, int y, unsigned modifiers) {
    heldButtons &= ~Qt::MouseButtons(ToQt(button));
    SendMouse(hwnd, QEvent::MouseButtonRelease, x, y, ToQt(button), modifiers);
}

void Click(HWND hwnd, Button button, int x, int y, unsigned modifiers) {
    MouseDown(hwnd, button, x, y, modifiers);
    MouseUp(hwnd, button, x, y, modifiers);
}

void DoubleClick(HWND hwnd, Button button, int x, int y, unsigned modifiers) {
    Click(hwnd, button, x, y, modifiers);
    heldButtons |= ToQt(button);
    SendMouse(hwnd, QEvent::MouseButtonDblClick, x, y, ToQt(button), modifiers);
    MouseUp(hwnd, button, x, y, modifiers);
}

void Wheel(HWND hwnd, int x, int y, int delta, unsigned modifiers) {
    QWidget* widget = qt::ContainerOf(hwnd);
    if (!widget) {
        return;
    }
    QPointF local(x, y);
    QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, delta), heldButtons,
                      ToQt(modifiers), Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

void KeyDown(HWND hwnd, int vk, unsigned modifiers) {
    SendKey(hwnd, QEvent::KeyPress, vk, modifiers);
}

void KeyUp(HWND hwnd, int vk, unsigned modifiers) {
    SendKey(hwnd, QEvent::KeyRelease, vk, modifiers);
}

void KeyPress(HWND hwnd, int vk, unsigned modifiers) {
    KeyDown(hwnd, vk, modifiers);
    KeyUp(hwnd, vk, modifiers);
}

void TypeText(HWND hwnd, const std::wstring& text) {
    QWidget* widget = qt::ContainerOf(hwnd);
    if (!widget) {
        return;
    }
    for (wchar_t c : text) {
        QString s = QString::fromStdWString(std::wstring(1, c));
        int key = s.toUpper().at(0).unicode();
        Qt::KeyboardModifiers mods = (c >= L'A' && c <= L'Z') ? Qt::ShiftModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, mods, s);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, s);
        QApplication::sendEvent(widget, &release);
    }
}

void DropFiles(HWND hwnd, const std::vector<std::wstring>& paths, int x, int y) {
    QWidget* widget = qt::ContainerOf(hwnd);
    if (!widget) {
        return;
    }
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::wstring& path : paths) {
        urls.append(QUrl::fromLocalFile(QString::fromStdWString(path)));
    }
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(x, y), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted()) {
        return;
    }
    QDropEvent drop(QPointF(x, y), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
}

void RightClickMenuBar(HWND hwnd, int x) {
    QMenuBar* bar = MenuBarOf(hwnd);
    if (!bar) {
        return;
    }
    QPointF local(x, bar->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, local, bar->mapToGlobal(local), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
}

bool ClickMenuBarItem(HWND hwnd, const std::wstring& text) {
    QMenuBar* bar = MenuBarOf(hwnd);
    if (!bar) {
        return false;
    }
    for (QAction* action : bar->actions()) {
        if (action->text().toStdWString() != text) {
            continue;
        }
        QRect area = bar->actionGeometry(action);
        if (area.isEmpty()) {
            action->trigger();
            return true;
        }
        QPointF local = area.center();
        QPointF global = bar->mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
        return true;
    }
    return false;
}

std::vector<std::wstring> MenuBarItems(HWND hwnd) {
    std::vector<std::wstring> items;
    if (QMenuBar* bar = MenuBarOf(hwnd)) {
        for (QAction* action : bar->actions()) {
            items.push_back(action->text().toStdWString());
        }
    }
    return items;
}

void CloseFromDesktop(HWND hwnd) {
    if (qt::NativeWindow* top = qt::TopLevelOf(hwnd)) {
        top->close();
    }
}

void DragWindowTo(HWND hwnd, const RECT& frame, unsigned modifiers, int steps) {
    qt::NativeWindow* top = qt::TopLevelOf(hwnd);
    if (!top) {
        return;
    }
    steps = std::max(steps, 1);
    RECT start = DesktopWindowOf(hwnd).frame;
    qt::SetUserMoveModifiers(true, ToQt(modifiers));
    for (int i = 1; i <= steps; ++i) {
        auto step = [&](LONG a, LONG b) { return static_cast<LONG>(a + (b - a) * i / steps); };
        RECT r = {step(start.left, frame.left), step(start.top, frame.top),
                  step(start.right, frame.right), step(start.bottom, frame.bottom)};
        top->MoveAsUser(r);
        ProcessDesktopEvents();
    }
    qt::SetUserMoveModifiers(false, Qt::NoModifier);
}

} // namespace platform::testing
