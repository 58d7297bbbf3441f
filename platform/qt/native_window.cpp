#include "platform/qt/native_window.h"

#include "platform/qt/gui_input.h"
#include "platform/qt/key_table.h"
#include "platform/qt/menu_builder.h"
#include "platform/user/desktop_state.h"
#include "platform/user/events.h"
#include "platform/user/menu_table.h"
#include "platform/user/window_table.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

namespace platform::qt {
namespace {

constexpr std::size_t MAX_EXPECTED = 48;
bool moveModifiersOverridden = false;
Qt::KeyboardModifiers moveModifiers;
constexpr WPARAM VK_PACKET = 0xE7;

LPARAM PackClientPoint(const QPointF& p) {
    int x = static_cast<int>(p.x());
    int y = static_cast<int>(p.y());
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                      static_cast<WORD>(static_cast<SHORT>(y)));
}

void NoteCursor(const QPointF& global) {
    SetLastCursorPos(POINT{static_cast<LONG>(global.x()), static_cast<LONG>(global.y())});
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

UINT ButtonMessage(Qt::MouseButton button, UINT left, UINT right, UINT middle) {
    switch (button) {
    case Qt::LeftButton:
        return left;
    case Qt::RightButton:
        return right;
    case Qt::MiddleButton:
        return middle;
    default:
        return 0;
    }
}

std::vector<std::wstring> LocalFiles(const QMimeData* mime) {
    std::vector<std::wstring> files;
    if (!mime || !mime->hasUrls()) {
        return files;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            files.push_back(url.toLocalFile().toStdWString());
        }
    }
    return files;
}

bool AcceptsFiles(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record && record->acceptFiles;
}

// The face the drawn controls get from the DC's default SYSTEM_FONT (DejaVu Sans, bold, a
// 16-pixel cell), so that labels match the fields and buttons beside them.
QFont SystemFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setWeight(QFont::Bold);
    font.setKerning(false);
    for (int pixels = 16; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= 16) {
            break;
        }
    }
    return font;
}

} // namespace

void SetUserMoveModifiers(bool override, Qt::KeyboardModifiers modifiers) {
    moveModifiersOverridden = override;
    moveModifiers = modifiers;
}

ClientArea::ClientArea(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd(hwnd) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void ClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QRect area = event->rect();
    auto surface = SurfaceOfWindow(hwnd);
    QRect shown;
    if (surface) {
        std::lock_guard lock(surface->mutex);
        if (surface->width > 0 && surface->height > 0) {
            // Wraps the pixels without a copy; the lock keeps them still while drawn.
            QImage image(reinterpret_cast<const uchar*>(surface->pixels.data()), surface->width,
                         surface->height, surface->width * 4, QImage::Format_RGB32);
            shown = area & QRect(0, 0, surface->width, surface->height);
            if (!shown.isEmpty()) {
                painter.drawImage(shown, image, shown);
            }
        }
    }
    // Parts of the widget that the surface does not cover yet (during a resize).
    QRegion rest = QRegion(area).subtracted(QRegion(shown));
    for (const QRect& r : rest) {
        painter.fillRect(r, Qt::black);
    }
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    SyncModifiers(event->modifiers());
    SyncButtons(event->buttons());
    NoteCursor(event->globalPosition());
    PublishGuiInput();
    UINT message = ButtonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN);
    if (message) {
        PostInputMessage(hwnd, message, MouseKeyFlags(), PackClientPoint(event->position()),
                         GuiInput());
    }
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
    SyncModifiers(event->modifiers());
    SyncButtons(event->buttons());
    NoteCursor(event->globalPosition());
    PublishGuiInput();
    UINT message = ButtonMessage(event->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP);
    if (message) {
        PostInputMessage(hwnd, message, MouseKeyFlags(), PackClientPoint(event->position()),
                         GuiInput());
    }
}

void ClientArea::mouseDoubleClickEvent(QMouseEvent* event) {
    SyncModifiers(event->modifiers());
    SyncButtons(event->buttons());
    NoteCursor(event->globalPosition());
    PublishGuiInput();
    // Only classes that ask for double clicks get them; others see a second button-down.
    bool wantsDouble = (ClassStyleOfWindow(hwnd) & CS_DBLCLKS) != 0;
    UINT message =
        wantsDouble
            ? ButtonMessage(event->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK)
            : ButtonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN);
    if (message) {
        PostInputMessage(hwnd, message, MouseKeyFlags(), PackClientPoint(event->position()),
                         GuiInput());
    }
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) {
    SyncModifiers(event->modifiers());
    SyncButtons(event->buttons());
    NoteCursor(event->globalPosition());
    PublishGuiInput();
    // Moves go to the window holding the capture, in its client coordinates; without a capture,
    // only moves inside this client area (the desktop's grab reports those outside it too).
    HWND target = CaptureWindow();
    QPointF position = event->position();
    if (target == nullptr) {
        if (!rect().contains(position.toPoint())) {
            return;
        }
        target = hwnd;
    } else if (target != hwnd) {
        POINT p{static_cast<LONG>(event->globalPosition().x()),
                static_cast<LONG>(event->globalPosition().y())};
        ScreenToClient(target, &p);
        position = QPointF(p.x, p.y);
    }
    PostInputMessage(target, WM_MOUSEMOVE, MouseKeyFlags(), PackClientPoint(position), GuiInput());
}

// The desktop reports no moves over other programs' windows or the bare desktop: without this,
// GetCursorPos would keep answering the last point inside our windows.
void ClientArea::leaveEvent(QEvent* event) {
    NoteCursor(QCursor::pos());
    QWidget::leaveEvent(event);
}

void ClientArea::wheelEvent(QWheelEvent* event) {
    SyncModifiers(event->modifiers());
    SyncButtons(event->buttons());
    NoteCursor(event->globalPosition());
    PublishGuiInput();
    int delta = event->angleDelta().y();
    if (delta == 0) {
        return;
    }
    WPARAM wParam = MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()),
                               static_cast<WORD>(static_cast<SHORT>(delta)));
    QPointF global = event->globalPosition();
    LPARAM lParam = MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(global.x())),
                               static_cast<WORD>(static_cast<SHORT>(global.y())));
    PostInputMessage(hwnd, WM_MOUSEWHEEL, wParam, lParam, GuiInput());
    event->accept();
}

void ClientArea::keyPressEvent(QKeyEvent* event) {
    SyncModifiers(event->modifiers());
    int vk = VirtualKeyOf(event->key(), event->modifiers());
    std::wstring text = FromQString(event->text());
    if (vk == 0 && text.empty()) {
        return;
    }
    WPARAM key = vk ? static_cast<WPARAM>(vk) : VK_PACKET;
    if (vk) {
        GuiInput().down.set(static_cast<std::size_t>(vk));
    }
    PublishGuiInput();
    LPARAM lParam = 1 | (static_cast<LPARAM>(event->nativeScanCode() & 0xFF) << 16);
    if (event->isAutoRepeat()) {
        lParam |= 1 << 30;
    }
    bool alt = (event->modifiers() & Qt::AltModifier) != 0;
    PostInputMessage(hwnd, alt || vk == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN, key, lParam,
                     GuiInput(), text);
    event->accept();
}

void ClientArea::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        return;
    }
    SyncModifiers(event->modifiers());
    int vk = VirtualKeyOf(event->key(), event->modifiers());
    if (vk) {
        GuiInput().down.reset(static_cast<std::size_t>(vk));
    }
    // The key itself is up even if Qt still reports its modifier.
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
        GuiInput().down.reset(static_cast<std::size_t>(vk));
    }
    PublishGuiInput();
    if (!vk) {
        return;
    }
    LPARAM lParam = 1 | (static_cast<LPARAM>(event->nativeScanCode() & 0xFF) << 16) |
                    static_cast<LPARAM>(0xC0000000u);
    bool alt = (event->modifiers() & Qt::AltModifier) != 0;
    PostInputMessage(hwnd, alt || vk == VK_F10 ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk),
                     lParam, GuiInput());
    event->accept();
}

void ClientArea::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsFiles(hwnd) && !LocalFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void ClientArea::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsFiles(hwnd)) {
        event->acceptProposedAction();
    }
}

void ClientArea::dropEvent(QDropEvent* event) {
    std::vector<std::wstring> files = LocalFiles(event->mimeData());
    if (!AcceptsFiles(hwnd) || files.empty()) {
        return;
    }
    QPointF p = event->position();
    PostDroppedFiles(hwnd, files, POINT{static_cast<LONG>(p.x()), static_cast<LONG>(p.y())});
    event->acceptProposedAction();
}

bool ClientArea::focusNextPrevChild(bool) {
    // Tab is a key like any other; dialog navigation is the program's business.
    return false;
}

MenuBar::MenuBar(HWND hwnd, QWidget* parent) : QMenuBar(parent), hwnd(hwnd) {
    setNativeMenuBar(false);
    connect(this, &QMenuBar::triggered, this, [hwnd](QAction* action) {
        UINT id = CommandOf(action);
        if (id) {
            PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        }
    });
}

void MenuBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        SyncModifiers(event->modifiers());
        NoteCursor(event->globalPosition());
        PublishGuiInput();
        QPointF g = event->globalPosition();
        PostInputMessage(hwnd, WM_NCRBUTTONDOWN, HTMENU,
                         MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(g.x())),
                                    static_cast<WORD>(static_cast<SHORT>(g.y()))),
                         GuiInput());
        return;
    }
    QMenuBar::mousePressEvent(event);
}

StaticControl::StaticControl(HWND, DWORD style, QWidget* parent) : QLabel(parent) {
    // Labels take no mouse input: clicks reach the window below, as with Win32 statics.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    palette.setColor(QPalette::Window, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    DWORD kind = style & 0x1F;
    Qt::Alignment horizontal = kind == SS_CENTER  ? Qt::AlignHCenter
                               : kind == SS_RIGHT ? Qt::AlignRight
                                                  : Qt::AlignLeft;
    setAlignment(horizontal | Qt::AlignTop);
    setFont(SystemFont());
    setWordWrap(kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT);
}

void StaticControl::SetFittedText(const QString& text) {
    setText(text);
    FitFont();
}

void StaticControl::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    FitFont();
}

void StaticControl::FitFont() {
    if (!wordWrap()) {
        return;
    }
    constexpr int SMALLEST = 9; // pixels; DejaVu Sans stays easy to read down to here
    const QRect area = contentsRect();
    const QString shown = text();
    auto fits = [&](const QFont& font) {
        const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, area.width(), 100000),
                                                             Qt::TextWordWrap | alignment(), shown);
        return needed.width() <= area.width() && needed.height() <= area.height();
    };
    QFont font = SystemFont();
    if (!fits(font)) {
        font = QFont(QStringLiteral("DejaVu Sans"));
        font.setKerning(false);
        for (int pixels = 12; pixels >= SMALLEST; --pixels) {
            font.setPixelSize(pixels);
            if (fits(font)) {
                break;
            }
        }
    }
    if (font != this->font()) {
        setFont(font);
    }
}

NativeWindow::NativeWindow(HWND hwnd, DWORD style, DWORD exStyle)
    : QWidget(nullptr, Qt::Window), hwnd(hwnd), client(new ClientArea(hwnd, this)) {
    Qt::WindowFlags flags = Qt::Window;
    if (!HasFrame(style)) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
        if (style & WS_SYSMENU) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        }
        if (style & WS_MINIMIZEBOX) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
    }
    if (exStyle & WS_EX_TOPMOST) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    setWindowFlags(flags);
    setFocusProxy(client);
    setAttribute(Qt::WA_QuitOnClose, false);
}

RECT NativeWindow::CurrentFrame() const {
    DesktopMetrics m = GetDesktopMetrics();
    QRect frame = frameGeometry();
    QSize inner = size();
    bool framed = !(windowFlags() & Qt::FramelessWindowHint);
    int width = inner.width() + (framed ? m.frameLeft + m.frameRight : 0);
    int height = inner.height() + (framed ? m.frameTop + m.frameBottom : 0);
    return RECT{frame.x(), frame.y(), frame.x() + width, frame.y() + height};
}

void NativeWindow::ApplyRecordGeometry() {
    RECT rect;
    int clientWidth = 0;
    int clientHeight = 0;
    if (!GetWindowRecordRect(hwnd, &rect, &clientWidth, &clientHeight)) {
        return;
    }
    int barHeight = menuBar ? GetDesktopMetrics().menuHeight : 0;
    RECT before = CurrentFrame();
    // The desktop may report the move and the resize separately: expect both halves too.
    RECT movedOnly = {rect.left, rect.top, rect.left + (before.right - before.left),
                      rect.top + (before.bottom - before.top)};
    RECT sizedOnly = {before.left, before.top, before.left + (rect.right - rect.left),
                      before.top + (rect.bottom - rect.top)};
    for (const RECT& r : {sizedOnly, movedOnly, rect}) {
        expected.push_back(r);
    }
    while (expected.size() > MAX_EXPECTED) {
        expected.pop_front();
    }
    applying = true;
    bool resizable = true;
    {
        auto lock = LockWindowTable();
        if (WindowRecord* record = FindWindowRecord(hwnd)) {
            resizable = (record->style & WS_THICKFRAME) != 0;
        }
    }
    QSize inner(clientWidth, clientHeight + barHeight);
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        // Offscreen windows cannot be resized by a user anyway, and it warns about size hints.
        setFixedSize(inner);
    }
    resize(inner);
    move(rect.left, rect.top);
    LayOut();
    applying = false;
}

void NativeWindow::MoveAsUser(const RECT& frame) {
    DesktopMetrics m = GetDesktopMetrics();
    bool framed = !(windowFlags() & Qt::FramelessWindowHint);
    int left = framed ? m.frameLeft : 0;
    int top = framed ? m.frameTop : 0;
    int width = frame.right - frame.left - (framed ? m.frameLeft + m.frameRight : 0);
    int height = frame.bottom - frame.top - (framed ? m.frameTop + m.frameBottom : 0);
    setGeometry(frame.left + left, frame.top + top, std::max(width, 0), std::max(height, 0));
}

void NativeWindow::RebuildMenuBar() {
    MenuSnapshot snapshot;
    HMENU menu = GetMenu(hwnd);
    if (!menu || !SnapshotMenu(menu, &snapshot)) {
        delete menuBar;
        menuBar = nullptr;
        LayOut();
        return;
    }
    if (!menuBar) {
        menuBar = new MenuBar(hwnd, this);
        menuBar->show();
    }
    menuBar->clear();
    for (const MenuItemSnapshot& item : snapshot.items) {
        QString text = ToQString(item.text);
        // The bar shows no shortcut text.
        text = text.section(QLatin1Char('\t'), 0, 0);
        if (item.type & MFT_SEPARATOR) {
            menuBar->addSeparator();
        } else if (item.hasSubmenu) {
            QMenu* sub = menuBar->addMenu(text);
            FillMenu(sub, item.submenu);
        } else {
            QAction* action = menuBar->addAction(text);
            action->setData(QVariant::fromValue(item.id));
            action->setEnabled(!(item.state & MFS_GRAYED));
        }
    }
    LayOut();
}

void NativeWindow::LayOut() {
    int barHeight = 0;
    if (menuBar) {
        barHeight = GetDesktopMetrics().menuHeight;
        menuBar->setGeometry(0, 0, width(), barHeight);
    }
    client->setGeometry(0, barHeight, width(), std::max(height() - barHeight, 0));
}

void NativeWindow::CheckUserGeometry() {
    if (applying || !isVisible()) {
        return;
    }
    RECT frame = CurrentFrame();
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (SameRect(*it, frame)) {
            expected.erase(expected.begin(), std::next(it));
            return;
        }
    }
    RECT recorded;
    int clientWidth = 0;
    int clientHeight = 0;
    if (!GetWindowRecordRect(hwnd, &recorded, &clientWidth, &clientHeight) ||
        SameRect(recorded, frame)) {
        return;
    }
    SyncModifiers(moveModifiersOverridden ? moveModifiers
                                          : QGuiApplication::queryKeyboardModifiers());
    PublishGuiInput();
    PostUserGeometry(hwnd, frame, GuiInput());
}

void NativeWindow::moveEvent(QMoveEvent*) {
    CheckUserGeometry();
}

void NativeWindow::resizeEvent(QResizeEvent*) {
    LayOut();
    CheckUserGeometry();
}

void NativeWindow::closeEvent(QCloseEvent* event) {
    // The desktop's close asks the window's thread; the window decides (WM_CLOSE).
    event->ignore();
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void NativeWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            SetActiveDesktopWindow(hwnd);
            PostInputMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, 0, GuiInput());
        } else {
            if (GetActiveDesktopWindow() == hwnd) {
                SetActiveDesktopWindow(nullptr);
            }
            PostInputMessage(hwnd, WM_ACTIVATE, WA_INACTIVE, 0, GuiInput());
        }
    }
    QWidget::changeEvent(event);
}

} // namespace platform::qt
