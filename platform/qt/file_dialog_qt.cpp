#include "platform/qt/file_dialog_qt.h"
#include "platform/qt/menu_builder.h"
#include "platform/qt/widget_registry.h"
#include "platform/win32_shell.h"

#include <QFileDialog>
#include <QStringList>
#include <QWindow>

namespace platform::qt {
namespace {

// "BMP (*.BMP;*.RLE)" with "*.BMP;*.RLE" becomes "BMP (*.BMP;*.RLE) (*.BMP *.bmp *.RLE *.rle)":
// Qt reads the last parenthesis as the patterns, and names on Linux are case-sensitive.
QString QtFilter(const std::wstring& description, const std::wstring& patterns) {
    QStringList list;
    for (const QString& pattern : ToQString(patterns).split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        list << trimmed;
        if (trimmed.toLower() != trimmed) {
            list << trimmed.toLower();
        }
    }
    return ToQString(description) + " (" + list.join(' ') + ")";
}

} // namespace

void ShowFileDialog(const std::shared_ptr<ModalRequest>& request) {
    const FileDialogRequest& file = request->file;
    const bool save = request->kind == ModalKind::SaveFile;
    auto* dialog = new QFileDialog(nullptr, ToQString(file.title), ToQString(file.initialDir));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode((file.flags & OFN_FILEMUSTEXIST) || !save ? QFileDialog::ExistingFile
                                                                  : QFileDialog::AnyFile);
    if (save && !(file.flags & OFN_OVERWRITEPROMPT)) {
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!file.defaultExt.empty()) {
        dialog->setDefaultSuffix(ToQString(file.defaultExt));
    }
    QStringList filters;
    for (const auto& [description, patterns] : file.filters) {
        filters << QtFilter(description, patterns);
    }
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        dialog->selectNameFilter(filters.value(file.filterIndex - 1));
    }
    // A pattern in the name field only says which files to list; the filter already does.
    if (!file.fileName.empty() && file.fileName.find_first_of(L"*?") == std::wstring::npos) {
        dialog->selectFile(ToQString(file.fileName));
    }
    QObject::connect(dialog, &QFileDialog::finished, dialog, [request, dialog, filters](int ok) {
        const QStringList chosen = dialog->selectedFiles();
        if (ok != QDialog::Accepted || chosen.isEmpty()) {
            request->Complete(0);
            return;
        }
        const int index = static_cast<int>(filters.indexOf(dialog->selectedNameFilter()));
        request->Complete(index >= 0 ? index + 1 : 1, chosen.first().toStdWString());
    });
    if (QWidget* owner = WidgetOf(request->owner)) {
        dialog->winId();
        owner->window()->winId();
        dialog->windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    dialog->open();
}

} // namespace platform::qt
