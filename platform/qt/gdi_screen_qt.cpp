// Screen size and depth for GetDeviceCaps, from the primary screen.
#include "platform/gdi/screen_info.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform::gdi {

ScreenInfo QueryScreenInfo() {
    ScreenInfo info;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return info;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = screen->geometry();
        info.width = geometry.width();
        info.height = geometry.height();
        // A 24-bit colour screen is served 32-bit pixels, as DIBs of the framework expect.
        info.bitsPerPixel = screen->depth() >= 24 ? 32 : screen->depth();
    }
    return info;
}

} // namespace platform::gdi
