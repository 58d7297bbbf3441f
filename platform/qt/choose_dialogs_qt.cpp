#include "platform/qt/choose_dialogs_qt.h"
#include "platform/gdi/text_backend.h"
#include "platform/qt/menu_builder.h"
#include "platform/qt/widget_registry.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace platform::qt {
namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF ToColorRef(const QColor& c) {
    return RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()),
               static_cast<BYTE>(c.blue()));
}

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

void KeepAboveOwner(QWidget* dialog, HWND owner) {
    if (QWidget* widget = WidgetOf(owner)) {
        dialog->winId();
        widget->window()->winId();
        dialog->windowHandle()->setTransientParent(widget->window()->windowHandle());
    }
}

QFont ToQFont(const LOGFONTW& lf) {
    QFont font;
    if (auto face = gdi::ResolveTextFace(lf)) {
        font.setFamily(QString::fromStdWString(gdi::FaceFamily(*face)));
        font.setPointSizeF(std::max(1.0, gdi::FacePixelSize(*face) * 72.0 / ScreenDpi()));
    }
    font.setWeight(static_cast<QFont::Weight>(
        lf.lfWeight > 0 ? std::clamp<int>(lf.lfWeight, 1, 1000) : FW_NORMAL));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

// The chosen font as the desktop's dialog describes it: the character height in pixels at the
// screen's resolution (negative lfHeight), the natural width, and the starting font's other
// fields.
LOGFONTW ToLogFont(const QFont& font, const LOGFONTW& start) {
    LOGFONTW lf = start;
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
    lf.lfHeight = -std::max(1L, std::lround(points * ScreenDpi() / 72.0));
    lf.lfWidth = 0;
    lf.lfWeight = font.weight();
    lf.lfItalic = font.italic() ? 1 : 0;
    lf.lfUnderline = font.underline() ? 1 : 0;
    lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
    const std::wstring family = font.family().toStdWString();
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
    std::wcsncpy(lf.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    return lf;
}

} // namespace

void ShowColorDialog(const std::shared_ptr<ModalRequest>& request) {
    // Qt keeps one set of custom colours for the application: the request's set goes in, and
    // the set as the user left it comes back.
    for (int i = 0; i < CUSTOM_COLORS; ++i) {
        QColorDialog::setCustomColor(i, ToQColor(request->color.custom[i]));
    }
    auto* dialog = new QColorDialog(ToQColor(request->color.color));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Color"));
    QObject::connect(dialog, &QColorDialog::finished, dialog, [request, dialog](int ok) {
        DialogAnswer answer;
        answer.given = true;
        answer.color = ToColorRef(dialog->selectedColor().isValid() ? dialog->selectedColor()
                                                                    : dialog->currentColor());
        for (int i = 0; i < CUSTOM_COLORS; ++i) {
            answer.custom[i] = ToColorRef(QColorDialog::customColor(i));
        }
        request->Complete(ok == QDialog::Accepted ? 1 : 0, answer);
    });
    KeepAboveOwner(dialog, request->owner);
    dialog->open();
}

void ShowFontDialog(const std::shared_ptr<ModalRequest>& request) {
    const LOGFONTW start = request->font.font;
    auto* dialog = new QFontDialog(ToQFont(start));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Font"));
    QObject::connect(dialog, &QFontDialog::finished, dialog, [request, dialog, start](int ok) {
        DialogAnswer answer;
        answer.given = true;
        const QFont font = dialog->selectedFont();
        answer.font = ToLogFont(font, start);
        answer.pointSize = static_cast<int>(std::lround(font.pointSizeF() * 10));
        answer.color = request->font.color;
        request->Complete(ok == QDialog::Accepted ? 1 : 0, answer);
    });
    KeepAboveOwner(dialog, request->owner);
    dialog->open();
}

} // namespace platform::qt
