// The desktop backend: the core's requests carried out on Qt widgets.
#include "platform/user/backend.h"

#include "platform/qt/gui_thread.h"
#include "platform/qt/native_window.h"
#include "platform/qt/widget_registry.h"
#include "platform/user/desktop_state.h"
#include "platform/user/window_table.h"

#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QWindow>

#include <map>
#include <mutex>

namespace platform::qt {
namespace {

QHash<quintptr, QPointer<QWidget>>& Registry() {
    static QHash<quintptr, QPointer<QWidget>> registry;
    return registry;
}

quintptr Key(HWND hwnd) {
    return reinterpret_cast<quintptr>(hwnd);
}

struct RecordCopy {
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HWND owner = nullptr;
    ControlKind control = ControlKind::None;
    std::wstring text;
    RECT rect = {};
    bool visible = false;
    bool enabled = true;
    bool acceptFiles = false;
};

bool CopyRecord(HWND hwnd, RecordCopy* copy) {
    auto lock = LockWindowTable();
    WindowRecord* r = FindWindowRecord(hwnd);
    if (!r) {
        return false;
    }
    *copy = RecordCopy{r->style, r->exStyle, r->parent,  r->owner,   r->control,
                       r->text,  r->rect,    r->visible, r->enabled, r->acceptFiles};
    return true;
}

// The offscreen platform has no stacking order and warns about each attempt.
void Raise(QWidget* widget) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        widget->raise();
    }
}

// Pending repaints of client surfaces, merged so that many small draws cost one update.
std::mutex dirtyMutex;
std::map<HWND, QRect> dirty;

} // namespace

QWidget* WidgetOf(HWND hwnd) {
    auto it = Registry().find(Key(hwnd));
    return it == Registry().end() ? nullptr : it->data();
}

NativeWindow* TopLevelOf(HWND hwnd) {
    return dynamic_cast<NativeWindow*>(WidgetOf(hwnd));
}

QWidget* ContainerOf(HWND hwnd) {
    QWidget* widget = WidgetOf(hwnd);
    if (auto* top = dynamic_cast<NativeWindow*>(widget)) {
        return top->Client();
    }
    return widget;
}

void RegisterWidget(HWND hwnd, QWidget* widget) {
    Registry().insert(Key(hwnd), widget);
}

void UnregisterWidget(HWND hwnd) {
    Registry().remove(Key(hwnd));
}

std::vector<HWND> RegisteredWindows() {
    std::vector<HWND> windows;
    for (auto it = Registry().begin(); it != Registry().end(); ++it) {
        if (it.value() && it.value()->isWindow()) {
            windows.push_back(reinterpret_cast<HWND>(it.key()));
        }
    }
    return windows;
}

} // namespace platform::qt

namespace platform::backend {

using namespace platform::qt;

void CreateNativeWindow(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            RecordCopy r;
            if (!CopyRecord(hwnd, &r)) {
                return;
            }
            QWidget* widget = nullptr;
            if (r.style & WS_CHILD) {
                QWidget* container = ContainerOf(r.parent);
                if (!container) {
                    return;
                }
                if (r.control == ControlKind::Static) {
                    auto* label = new StaticControl(hwnd, r.style, container);
                    label->setText(QString::fromStdWString(r.text));
                    widget = label;
                } else {
                    widget = new ClientArea(hwnd, container);
                }
                widget->setGeometry(r.rect.left, r.rect.top, r.rect.right - r.rect.left,
                                    r.rect.bottom - r.rect.top);
            } else {
                auto* window = new NativeWindow(hwnd, r.style, r.exStyle);
                window->setWindowTitle(QString::fromStdWString(r.text));
                RegisterWidget(hwnd, window);
                window->RebuildMenuBar();
                window->ApplyRecordGeometry();
                // Owned windows stay above their owner without being its Qt children.
                if (NativeWindow* owner = TopLevelOf(r.owner)) {
                    window->winId();
                    owner->winId();
                    window->windowHandle()->setTransientParent(owner->windowHandle());
                }
                widget = window;
            }
            RegisterWidget(hwnd, widget);
            if (auto* client = dynamic_cast<ClientArea*>(widget)) {
                client->setAcceptDrops(r.acceptFiles);
            } else if (auto* top = dynamic_cast<NativeWindow*>(widget)) {
                top->Client()->setAcceptDrops(r.acceptFiles);
            }
            widget->setEnabled(r.enabled);
        },
        GuiCall::Wait);
}

void DestroyNativeWindow(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    {
        std::lock_guard lock(dirtyMutex);
        dirty.erase(hwnd);
    }
    RunOnGuiThread(
        [hwnd] {
            QWidget* widget = WidgetOf(hwnd);
            UnregisterWidget(hwnd);
            if (!widget) {
                return;
            }
            widget->hide();
            // Deleted later: this may run inside one of the widget's own event handlers.
            widget->deleteLater();
        },
        GuiCall::NoWait);
}

void ApplyGeometry(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            if (NativeWindow* top = TopLevelOf(hwnd)) {
                top->ApplyRecordGeometry();
                return;
            }
            RecordCopy r;
            QWidget* widget = WidgetOf(hwnd);
            if (widget && CopyRecord(hwnd, &r)) {
                widget->setGeometry(r.rect.left, r.rect.top, r.rect.right - r.rect.left,
                                    r.rect.bottom - r.rect.top);
            }
        },
        GuiCall::NoWait);
}

void ApplyVisibility(HWND hwnd, bool visible, bool activate) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd, visible, activate] {
            QWidget* widget = WidgetOf(hwnd);
            if (!widget) {
                return;
            }
            if (!visible) {
                widget->hide();
                return;
            }
            if (auto* top = dynamic_cast<NativeWindow*>(widget)) {
                top->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
                top->show();
                top->ApplyRecordGeometry();
                if (activate) {
                    Raise(top);
                    top->activateWindow();
                }
            } else {
                widget->show();
            }
        },
        GuiCall::NoWait);
}

void ApplyText(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            RecordCopy r;
            QWidget* widget = WidgetOf(hwnd);
            if (!widget || !CopyRecord(hwnd, &r)) {
                return;
            }
            QString text = QString::fromStdWString(r.text);
            if (auto* fitted = dynamic_cast<StaticControl*>(widget)) {
                fitted->SetFittedText(text);
            } else if (auto* label = dynamic_cast<QLabel*>(widget)) {
                label->setText(text);
            } else if (widget->isWindow()) {
                widget->setWindowTitle(text);
            }
        },
        GuiCall::NoWait);
}

void ApplyMenu(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            if (NativeWindow* top = TopLevelOf(hwnd)) {
                top->RebuildMenuBar();
            }
        },
        GuiCall::NoWait);
}

void ApplyAcceptDrops(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            RecordCopy r;
            QWidget* container = ContainerOf(hwnd);
            if (container && CopyRecord(hwnd, &r)) {
                container->setAcceptDrops(r.acceptFiles);
            }
        },
        GuiCall::NoWait);
}

void ApplyEnabled(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            RecordCopy r;
            QWidget* widget = WidgetOf(hwnd);
            if (widget && CopyRecord(hwnd, &r)) {
                widget->setEnabled(r.enabled);
            }
        },
        GuiCall::NoWait);
}

void Activate(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            QWidget* widget = WidgetOf(hwnd);
            if (widget && widget->isWindow() && widget->isVisible()) {
                Raise(widget);
                widget->activateWindow();
            }
        },
        GuiCall::NoWait);
}

void ApplyFocus(HWND hwnd) {
    if (!HasGui()) {
        return;
    }
    RunOnGuiThread(
        [hwnd] {
            QWidget* widget = ContainerOf(hwnd);
            if (widget) {
                widget->setFocus(Qt::OtherFocusReason);
            }
        },
        GuiCall::NoWait);
}

void SurfaceChanged(HWND hwnd, const RECT* rect) {
    if (!HasGui()) {
        return;
    }
    QRect area =
        rect ? QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top)
             : QRect(0, 0, 1 << 15, 1 << 15);
    {
        std::lock_guard lock(dirtyMutex);
        auto it = dirty.find(hwnd);
        if (it != dirty.end()) {
            it->second |= area;
            return;
        }
        dirty.emplace(hwnd, area);
    }
    RunOnGuiThread(
        [hwnd] {
            QRect pending;
            {
                std::lock_guard lock(dirtyMutex);
                auto it = dirty.find(hwnd);
                if (it == dirty.end()) {
                    return;
                }
                pending = it->second;
                dirty.erase(it);
            }
            if (QWidget* widget = ContainerOf(hwnd)) {
                widget->update(pending & widget->rect());
            }
        },
        GuiCall::NoWait);
}

} // namespace platform::backend
