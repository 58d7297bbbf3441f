// Mouse capture. The desktop grabs the pointer for the window under a press, so moves outside a
// client area do arrive; the backend passes them on only to the window holding the capture, as
// Win32 does, and a window without it never sees positions outside its client area.
#include "platform/user/desktop_state.h"
#include "platform/user/window_table.h"

#include <atomic>

using namespace platform;

namespace {

std::atomic<HWND> captured{nullptr};

} // namespace

namespace platform {

HWND CaptureWindow() {
    HWND hwnd = captured.load();
    return IsWindow(hwnd) ? hwnd : nullptr;
}

void DropCaptureOf(HWND hwnd) {
    HWND expected = hwnd;
    captured.compare_exchange_strong(expected, nullptr);
}

} // namespace platform

HWND SetCapture(HWND hwnd) {
    if (hwnd == nullptr || !IsOwnedByCurrentThread(hwnd)) {
        return nullptr;
    }
    HWND old = captured.exchange(hwnd);
    if (old != hwnd && IsWindow(old)) {
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
        return old;
    }
    return old == hwnd ? old : nullptr;
}

BOOL ReleaseCapture() {
    HWND old = captured.load();
    if (old == nullptr || !IsOwnedByCurrentThread(old) ||
        !captured.compare_exchange_strong(old, nullptr)) {
        return TRUE;
    }
    SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    HWND hwnd = CaptureWindow();
    return hwnd != nullptr && IsOwnedByCurrentThread(hwnd) ? hwnd : nullptr;
}
