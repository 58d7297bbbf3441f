#include "platform/qt/platform_init.h"

#include "platform/qt/gui_thread.h"
#include "platform/qt/widget_registry.h"
#include "platform/user/desktop_state.h"
#include "platform/user/thread_queue.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <cstdlib>

namespace platform::qt {

void PrepareEnvironment() {
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("QT_SCREEN_SCALE_FACTORS");
}

void InitializePlatform() {
    StartGuiThreadCalls();
    QApplication::setQuitOnLastWindowClosed(false);

    DesktopMetrics m;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect full = screen->geometry();
        QRect work = screen->availableGeometry();
        m.screenWidth = full.width();
        m.screenHeight = full.height();
        m.workArea =
            RECT{work.left(), work.top(), work.left() + work.width(), work.top() + work.height()};
        m.screenDepth = screen->depth();
    }
    // The frame a platform window gets before the window manager (if any) says otherwise.
    {
        QWindow probe;
        probe.create();
        QMargins margins = probe.frameMargins();
        m.frameLeft = margins.left();
        m.frameTop = margins.top();
        m.frameRight = margins.right();
        m.frameBottom = margins.bottom();
    }
    {
        QMenuBar bar;
        bar.addAction(QStringLiteral("Start(&S)"));
        m.menuHeight = bar.sizeHint().height();
    }
    SetDesktopMetrics(m);
}

void ShutDownPlatform() {
    ShutDownQueues();
    StopGuiThreadCalls();
    for (HWND hwnd : RegisteredWindows()) {
        QWidget* widget = WidgetOf(hwnd);
        UnregisterWidget(hwnd);
        delete widget;
    }
}

} // namespace platform::qt
