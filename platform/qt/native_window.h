// The Qt widgets behind windows. A top-level window is a NativeWindow (menu bar + client
// area); a child window of a registered class is a ClientArea inside its parent's client
// area; a STATIC control is a StaticControl. Widgets live on the GUI thread only and find
// their window's state in the window table by HWND.
#pragma once

#include "platform/win32_user.h"

#include <QLabel>
#include <QMenuBar>
#include <QWidget>

#include <deque>

namespace platform::qt {

// Shows a window's client surface and turns Qt input on it into messages for the window.
class ClientArea : public QWidget {
public:
    ClientArea(HWND hwnd, QWidget* parent);
    HWND Window() const { return hwnd; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    HWND hwnd;
};

// A menu bar whose items are commands of the window; a right click on it is a right click on
// the window's non-client area.
class MenuBar : public QMenuBar {
public:
    MenuBar(HWND hwnd, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    HWND hwnd;
};

// A wrapping static whose text does not fit its rectangle in the system font shows it in a
// smaller one, down to a size still easy to read, instead of cutting it off.
class StaticControl : public QLabel {
public:
    StaticControl(HWND hwnd, DWORD style, QWidget* parent);
    void SetFittedText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitFont();
};

// The modifiers that a desktop move is taken to have been made with; without an override,
// the keyboard state the desktop reports. The test drag sets it.
void SetUserMoveModifiers(bool override, Qt::KeyboardModifiers modifiers);

class NativeWindow : public QWidget {
public:
    NativeWindow(HWND hwnd, DWORD style, DWORD exStyle);
    HWND Window() const { return hwnd; }
    ClientArea* Client() const { return client; }

    // Puts the widget where the window table says, remembering the rectangles this causes so
    // that their events are not taken for the user's moves.
    void ApplyRecordGeometry();
    void RebuildMenuBar();

    // Moves the widget as the user would (the test drag goes through here).
    void MoveAsUser(const RECT& frame);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LayOut();
    void CheckUserGeometry();
    RECT CurrentFrame() const;

    HWND hwnd;
    ClientArea* client;
    MenuBar* menuBar = nullptr;
    std::deque<RECT> expected;
    bool applying = false;
};

} // namespace platform::qt
