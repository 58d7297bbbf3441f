// What the desktop shows: window frames, titles and pixels.
#include "platform/qt/native_window.h"
#include "platform/qt/widget_registry.h"
#include "platform/testing.h"
#include "platform/window_surface.h"

#include <QImage>
#include <QWindow>

namespace platform::testing {
namespace {

RECT ToRect(const QRect& r) {
    return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

} // namespace

DesktopWindow DesktopWindowOf(HWND hwnd) {
    DesktopWindow result;
    QWidget* widget = qt::WidgetOf(hwnd);
    if (!widget) {
        return result;
    }
    result.exists = true;
    result.visible = widget->isVisible();
    QWidget* client = qt::ContainerOf(hwnd);
    result.client = ToRect(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()));
    if (widget->isWindow()) {
        result.frame = ToRect(widget->frameGeometry());
        result.title = widget->windowTitle().toStdWString();
        result.active = widget->isActiveWindow();
        QWindow* handle = widget->windowHandle();
        QWidget* owner = qt::WidgetOf(GetParent(hwnd));
        result.transientForOwner = handle && owner && owner->windowHandle() &&
                                   handle->transientParent() == owner->windowHandle();
    } else {
        result.frame = ToRect(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
        result.title = widget->windowTitle().toStdWString();
    }
    return result;
}

bool CaptureClientSurface(HWND hwnd, Capture* capture) {
    WindowSurface surface;
    if (!LockWindowSurface(hwnd, &surface)) {
        return false;
    }
    capture->width = surface.width;
    capture->height = surface.height;
    capture->pixels.clear();
    for (int y = 0; y < surface.height; ++y) {
        const std::uint32_t* row = surface.pixels + static_cast<std::size_t>(y) * surface.stride;
        capture->pixels.insert(capture->pixels.end(), row, row + surface.width);
    }
    RECT nothing = {0, 0, 0, 0};
    UnlockWindowSurface(hwnd, &nothing);
    return true;
}

bool GrabShownClient(HWND hwnd, Capture* capture) {
    QWidget* client = qt::ContainerOf(hwnd);
    if (!client) {
        return false;
    }
    QImage image = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
    capture->width = image.width();
    capture->height = image.height();
    capture->pixels.resize(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            capture->pixels[static_cast<std::size_t>(y) * image.width() + x] = row[x] & 0xFFFFFF;
        }
    }
    return true;
}

} // namespace platform::testing
