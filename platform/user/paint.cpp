// Invalid regions, WM_PAINT and the client surfaces behind window device contexts.
#include "platform/user/backend.h"
#include "platform/user/internal.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_table.h"
#include "platform/win32_gdi.h"
#include "platform/window_surface.h"

#include <algorithm>

namespace platform {
namespace {

struct HeldSurface {
    HWND hwnd;
    std::shared_ptr<SurfaceData> surface;
};

// Surfaces the calling thread has locked, so that the unlock finds the same surface even if
// the window was destroyed in between.
thread_local std::vector<HeldSurface> heldSurfaces;

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool Covers(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

bool VisibleLocked(const WindowRecord* record) {
    while (record && record->visible) {
        if (!(record->style & WS_CHILD)) {
            return true;
        }
        record = FindWindowRecord(record->parent);
    }
    return false;
}

std::uint32_t PixelOf(COLORREF c) {
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

} // namespace

void ResizeSurface(SurfaceData& surface, int width, int height) {
    std::lock_guard lock(surface.mutex);
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == surface.width && height == surface.height) {
        return;
    }
    std::uint32_t fill = surface.fill ? PixelOf(surface.background) : 0;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, fill);
    int keepWidth = std::min(width, surface.width);
    int keepHeight = std::min(height, surface.height);
    for (int y = 0; y < keepHeight; ++y) {
        std::copy_n(surface.pixels.data() + static_cast<std::size_t>(y) * surface.width, keepWidth,
                    pixels.data() + static_cast<std::size_t>(y) * width);
    }
    surface.pixels.swap(pixels);
    surface.width = width;
    surface.height = height;
}

bool LockWindowSurface(HWND hwnd, WindowSurface* out) {
    if (!out) {
        return false;
    }
    std::shared_ptr<SurfaceData> surface;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record || !record->surface) {
            return false;
        }
        surface = record->surface;
    }
    surface->mutex.lock();
    heldSurfaces.push_back({hwnd, surface});
    out->pixels = surface->pixels.data();
    out->width = surface->width;
    out->height = surface->height;
    out->stride = surface->width;
    return true;
}

void UnlockWindowSurface(HWND hwnd, const RECT* changed) {
    for (auto it = heldSurfaces.rbegin(); it != heldSurfaces.rend(); ++it) {
        if (it->hwnd == hwnd) {
            it->surface->mutex.unlock();
            heldSurfaces.erase(std::next(it).base());
            backend::SurfaceChanged(hwnd, changed);
            return;
        }
    }
}

// Weak so that the GDI part's definition takes its place once it exists.
__attribute__((weak)) bool SolidBrushColor(HBRUSH, COLORREF*) {
    return false;
}

} // namespace platform

using namespace platform;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    std::shared_ptr<ThreadQueue> queue;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return FALSE;
        }
        if (!record->surface) {
            return TRUE; // built-in controls paint themselves
        }
        RECT client = {0, 0, record->clientWidth, record->clientHeight};
        RECT r = rect ? Intersect(*rect, client) : client;
        if (IsEmpty(r)) {
            return TRUE;
        }
        if (record->invalid) {
            RECT& u = record->updateRect;
            u = RECT{std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right),
                     std::max(u.bottom, r.bottom)};
        } else {
            record->updateRect = r;
            record->invalid = true;
        }
        record->erasePending = record->erasePending || erase;
        // Hidden windows keep their update region and get WM_PAINT once shown.
        if (VisibleLocked(record)) {
            queue = record->queue;
        }
    }
    if (queue) {
        QueuePaint(*queue, hwnd);
    }
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return FALSE;
    }
    if (!rect || Covers(*rect, record->updateRect)) {
        record->invalid = false;
        record->erasePending = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !record->invalid) {
        if (rect) {
            *rect = RECT{0, 0, 0, 0};
        }
        return FALSE;
    }
    if (rect) {
        *rect = record->updateRect;
    }
    return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    if (!paint) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    bool erase = false;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return nullptr;
        }
        paint->rcPaint = record->invalid ? record->updateRect : RECT{0, 0, 0, 0};
        erase = record->invalid && record->erasePending;
    }
    if (erase) {
        LRESULT erased = SendMessageW(hwnd, WM_ERASEBKGND, 0, 0);
        paint->fErase = erased ? FALSE : TRUE;
    }
    {
        auto lock = LockWindowTable();
        if (WindowRecord* record = FindWindowRecord(hwnd)) {
            record->invalid = false;
            record->erasePending = false;
        }
    }
    paint->hdc = GetDC(hwnd);
    return paint->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc) {
        ReleaseDC(hwnd, paint->hdc);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    bool invalid;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return FALSE;
        }
        invalid = record->invalid && VisibleLocked(record);
    }
    if (invalid) {
        SendMessageW(hwnd, WM_PAINT, 0, 0);
    }
    return TRUE;
}
