// The one entry point for modal UI: a request goes to the test responder if one is installed,
// otherwise the real Qt menu or dialog is shown without blocking the GUI thread, and the
// request completes from the widget's signals.
#include "platform/qt/choose_dialogs_qt.h"
#include "platform/qt/file_dialog_qt.h"
#include "platform/qt/gui_thread.h"
#include "platform/qt/menu_builder.h"
#include "platform/qt/native_window.h"
#include "platform/qt/widget_registry.h"
#include "platform/user/backend.h"
#include "platform/user/modal.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

namespace platform::qt {
namespace {

void ShowPopupMenu(const std::shared_ptr<ModalRequest>& request) {
    if (request->menu.items.empty()) {
        request->Complete(0);
        return;
    }
    auto* menu = new QMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose, false);
    FillMenu(menu, request->menu.items);
    QObject::connect(menu, &QMenu::triggered, menu,
                     [request](QAction* action) { request->Complete(CommandOf(action)); });
    // Qt hides the menu before it reports the chosen action; decide only after both.
    QObject::connect(menu, &QMenu::aboutToHide, menu, [request, menu] {
        QMetaObject::invokeMethod(
            menu,
            [request, menu] {
                request->Complete(0);
                menu->deleteLater();
            },
            Qt::QueuedConnection);
    });
    menu->popup(QPoint(request->at.x, request->at.y));
}

void ShowMessageBox(const std::shared_ptr<ModalRequest>& request) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request->type & 0xF0) {
    case MB_ICONHAND:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONASTERISK:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (request->type & 0xF) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    default:
        break;
    }
    auto* box =
        new QMessageBox(icon, ToQString(request->caption), ToQString(request->text), buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    QObject::connect(box, &QMessageBox::finished, box, [request, box](int) {
        LRESULT id = request->defaultResult;
        switch (box->standardButton(box->clickedButton())) {
        case QMessageBox::Ok:
            id = IDOK;
            break;
        case QMessageBox::Cancel:
            id = IDCANCEL;
            break;
        case QMessageBox::Yes:
            id = IDYES;
            break;
        case QMessageBox::No:
            id = IDNO;
            break;
        default:
            break;
        }
        request->Complete(id);
    });
    if (QWidget* owner = WidgetOf(request->owner)) {
        box->winId();
        owner->window()->winId();
        box->windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    box->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        box->raise();
    }
    box->activateWindow();
}

} // namespace
} // namespace platform::qt

namespace platform::backend {

void StartModal(const std::shared_ptr<ModalRequest>& request) {
    if (!HasGui()) {
        // Nobody can answer without a desktop: the request ends with its default.
        if (!OfferToResponder(request)) {
            request->Complete(request->defaultResult);
        }
        return;
    }
    qt::RunOnGuiThread(
        [request] {
            if (OfferToResponder(request)) {
                return;
            }
            switch (request->kind) {
            case ModalKind::PopupMenu:
                qt::ShowPopupMenu(request);
                break;
            case ModalKind::MessageBox:
                qt::ShowMessageBox(request);
                break;
            case ModalKind::OpenFile:
            case ModalKind::SaveFile:
                qt::ShowFileDialog(request);
                break;
            case ModalKind::ChooseColor:
                qt::ShowColorDialog(request);
                break;
            case ModalKind::ChooseFont:
                qt::ShowFontDialog(request);
                break;
            }
        },
        qt::GuiCall::NoWait);
}

} // namespace platform::backend
