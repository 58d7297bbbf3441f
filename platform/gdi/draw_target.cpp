#include "platform/gdi/draw_target.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>

namespace platform::gdi {

namespace {

std::atomic<LockSurfaceFunction> lockSurface{nullptr};
std::atomic<UnlockSurfaceFunction> unlockSurface{nullptr};

bool LockSurface(HWND hwnd, WindowSurface* surface) {
    LockSurfaceFunction f = lockSurface.load();
    return f ? f(hwnd, surface) : LockWindowSurface(hwnd, surface);
}

void UnlockSurface(HWND hwnd, const RECT* changed) {
    UnlockSurfaceFunction f = unlockSurface.load();
    if (f) {
        f(hwnd, changed);
    } else {
        UnlockWindowSurface(hwnd, changed);
    }
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

void SetWindowSurfaceFunctions(LockSurfaceFunction lock, UnlockSurfaceFunction unlock) {
    lockSurface.store(lock);
    unlockSurface.store(unlock);
}

DrawTarget::~DrawTarget() {
    if (lockedWindow_) {
        // An empty rectangle tells the windowing part that nothing changed.
        UnlockSurface(lockedWindow_, &changed_);
    }
}

bool DrawTarget::Open(const DcState& dc) {
    switch (dc.kind) {
    case DcKind::MEMORY:
        if (!dc.bitmap) {
            return false;
        }
        bitmap_ = dc.bitmap;
        pixels_ = bitmap_->Pixels();
        return true;
    case DcKind::WINDOW: {
        WindowSurface surface{};
        if (!dc.hwnd || !LockSurface(dc.hwnd, &surface)) {
            return false;
        }
        lockedWindow_ = dc.hwnd;
        pixels_ = PixelBuffer{};
        if (surface.pixels && surface.width > 0 && surface.height > 0) {
            pixels_.top = reinterpret_cast<std::uint8_t*>(surface.pixels);
            pixels_.rowStep = static_cast<std::ptrdiff_t>(surface.stride) * 4;
            pixels_.width = surface.width;
            pixels_.height = surface.height;
            pixels_.bitsPerPixel = 32;
        }
        return true;
    }
    case DcKind::SCREEN:
        break;
    }
    return false;
}

bool DrawTarget::OpenBeside(const DcState& dc, const DrawTarget& other) {
    const HWND otherWindow = other.lockedWindow_ ? other.lockedWindow_ : other.sharedWindow_;
    if (dc.kind == DcKind::WINDOW && dc.hwnd && dc.hwnd == otherWindow) {
        sharedWindow_ = dc.hwnd;
        pixels_ = other.pixels_;
        return true;
    }
    return Open(dc);
}

void DrawTarget::Changed(const RECT& rect) {
    if (IsEmpty(rect)) {
        return;
    }
    if (IsEmpty(changed_)) {
        changed_ = rect;
        return;
    }
    changed_.left = std::min(changed_.left, rect.left);
    changed_.top = std::min(changed_.top, rect.top);
    changed_.right = std::max(changed_.right, rect.right);
    changed_.bottom = std::max(changed_.bottom, rect.bottom);
}

bool OpenPair(const DcState& dst, DrawTarget* dstTarget, const DcState& src,
              DrawTarget* srcTarget) {
    const bool bothWindows = dst.kind == DcKind::WINDOW && src.kind == DcKind::WINDOW;
    if (bothWindows && std::less<HWND>()(src.hwnd, dst.hwnd)) {
        return srcTarget->Open(src) && dstTarget->OpenBeside(dst, *srcTarget);
    }
    return dstTarget->Open(dst) && srcTarget->OpenBeside(src, *dstTarget);
}

} // namespace platform::gdi
