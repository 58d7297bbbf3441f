// Default message handling and window text.
#include "platform/user/backend.h"
#include "platform/user/internal.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_table.h"
#include "platform/window_surface.h"

#include <algorithm>
#include <cwchar>

namespace platform {
namespace {

// Fills the pending update rectangle with the class background, as WM_ERASEBKGND does.
LRESULT EraseBackground(HWND hwnd) {
    RECT update;
    std::shared_ptr<SurfaceData> surface;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record || !record->surface) {
            return 0;
        }
        surface = record->surface;
        update = record->invalid ? record->updateRect
                                 : RECT{0, 0, record->clientWidth, record->clientHeight};
    }
    {
        std::lock_guard lock(surface->mutex);
        if (!surface->fill) {
            return 0;
        }
        COLORREF c = surface->background;
        std::uint32_t pixel = (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
                              (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
        int left = std::clamp<int>(update.left, 0, surface->width);
        int right = std::clamp<int>(update.right, 0, surface->width);
        int top = std::clamp<int>(update.top, 0, surface->height);
        int bottom = std::clamp<int>(update.bottom, 0, surface->height);
        for (int y = top; y < bottom; ++y) {
            std::uint32_t* row =
                surface->pixels.data() + static_cast<std::size_t>(y) * surface->width;
            std::fill(row + left, row + right, pixel);
        }
    }
    backend::SurfaceChanged(hwnd, &update);
    return 1;
}

} // namespace
} // namespace platform

using namespace platform;

namespace {

// Whether the keyboard focus is on hwnd or one of its descendants.
bool FocusIsWithin(HWND hwnd) {
    for (HWND w = GetFocus(); w; w = GetParent(w)) {
        if (w == hwnd) {
            return true;
        }
    }
    return false;
}

} // namespace

LRESULT CALLBACK DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ACTIVATE:
        // An activated window that keeps no focus of its own takes the keyboard focus. The
        // desktop reports activation after the click that caused it, so a control that took
        // the focus on that click keeps it (and its press).
        if (LOWORD(wParam) != WA_INACTIVE && !FocusIsWithin(hwnd)) {
            SetFocus(hwnd);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return EraseBackground(hwnd);
    case WM_SETTEXT: {
        {
            auto lock = LockWindowTable();
            WindowRecord* record = FindWindowRecord(hwnd);
            if (!record) {
                return FALSE;
            }
            record->text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        }
        backend::ApplyText(hwnd);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        auto size = static_cast<std::size_t>(wParam);
        if (!buffer || size == 0) {
            return 0;
        }
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            buffer[0] = 0;
            return 0;
        }
        std::size_t n = std::min(record->text.size(), size - 1);
        std::wmemcpy(buffer, record->text.data(), n);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        return record ? static_cast<LRESULT>(record->text.size()) : 0;
    }
    default:
        return 0;
    }
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!IsWindow(hwnd)) {
        return FALSE;
    }
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L"")) ? TRUE
                                                                                          : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount) {
    if (!text || maxCount <= 0) {
        return 0;
    }
    // Like Win32, a window of another thread answers from the stored text instead of being
    // sent WM_GETTEXT, so that reading a caption never waits for a busy thread.
    if (IsOwnedByCurrentThread(hwnd)) {
        return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                             reinterpret_cast<LPARAM>(text)));
    }
    return static_cast<int>(DefWindowProcW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                           reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
    if (IsOwnedByCurrentThread(hwnd)) {
        return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    }
    return static_cast<int>(DefWindowProcW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
