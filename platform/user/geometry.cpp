// Window rectangles, visibility, activation and focus.
#include "platform/user/backend.h"
#include "platform/user/desktop_state.h"
#include "platform/user/events.h"
#include "platform/user/internal.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_table.h"

#include <algorithm>

namespace platform {
namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LPARAM PackPoint(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

// Sends to the window: directly on the owning thread, otherwise across threads.
void Notify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageW(hwnd, message, wParam, lParam);
}

int SizingEdge(const RECT& from, const RECT& to) {
    bool left = from.left != to.left;
    bool right = from.right != to.right;
    bool top = from.top != to.top;
    bool bottom = from.bottom != to.bottom;
    if (left && right) {
        left = false; // moved and sized at once: treat as the far edge
    }
    if (top && bottom) {
        top = false;
    }
    if (top) {
        return left ? WMSZ_TOPLEFT : right ? WMSZ_TOPRIGHT : WMSZ_TOP;
    }
    if (bottom) {
        return left ? WMSZ_BOTTOMLEFT : right ? WMSZ_BOTTOMRIGHT : WMSZ_BOTTOM;
    }
    return left ? WMSZ_LEFT : WMSZ_RIGHT;
}

} // namespace

void ClientSizeForRect(const RECT& rect, DWORD style, bool hasMenu, int* width, int* height) {
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    if (HasFrame(style)) {
        DesktopMetrics m = GetDesktopMetrics();
        w -= m.frameLeft + m.frameRight;
        h -= m.frameTop + m.frameBottom;
        if (hasMenu) {
            h -= m.menuHeight;
        }
    }
    *width = std::max(w, 0);
    *height = std::max(h, 0);
}

POINT ClientOriginLocked(const WindowRecord& record) {
    if (record.style & WS_CHILD) {
        POINT origin = {record.rect.left, record.rect.top};
        if (const WindowRecord* parent = FindWindowRecord(record.parent)) {
            POINT parentOrigin = ClientOriginLocked(*parent);
            origin.x += parentOrigin.x;
            origin.y += parentOrigin.y;
        }
        return origin;
    }
    POINT origin = {record.rect.left, record.rect.top};
    if (HasFrame(record.style)) {
        DesktopMetrics m = GetDesktopMetrics();
        origin.x += m.frameLeft;
        origin.y += m.frameTop + (record.menu ? m.menuHeight : 0);
    }
    return origin;
}

void ApplyWindowRect(HWND hwnd, const RECT& rect, bool moveNative) {
    bool moved = false;
    bool sized = false;
    int oldWidth = 0;
    int oldHeight = 0;
    int width = 0;
    int height = 0;
    UINT classStyle = 0;
    POINT origin = {0, 0};
    std::shared_ptr<SurfaceData> surface;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return;
        }
        RECT old = record->rect;
        oldWidth = record->clientWidth;
        oldHeight = record->clientHeight;
        record->rect = rect;
        ClientSizeForRect(rect, record->style, record->menu != nullptr, &width, &height);
        record->clientWidth = width;
        record->clientHeight = height;
        moved = old.left != rect.left || old.top != rect.top;
        sized = oldWidth != width || oldHeight != height;
        classStyle = record->classStyle;
        if (sized) {
            surface = record->surface;
        }
        origin =
            (record->style & WS_CHILD) ? POINT{rect.left, rect.top} : ClientOriginLocked(*record);
    }
    // Resized outside the table lock: a thread drawing into the surface may need the table.
    if (surface) {
        ResizeSurface(*surface, width, height);
    }
    if (moveNative) {
        backend::ApplyGeometry(hwnd);
    }
    if (moved) {
        Notify(hwnd, WM_MOVE, 0, PackPoint(origin));
    }
    if (sized) {
        Notify(hwnd, WM_SIZE, SIZE_RESTORED,
               MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
        if (classStyle & (CS_HREDRAW | CS_VREDRAW)) {
            InvalidateRect(hwnd, nullptr, TRUE);
        } else {
            // Only the newly exposed parts need painting, as in Win32.
            if (width > oldWidth) {
                RECT r = {oldWidth, 0, width, height};
                InvalidateRect(hwnd, &r, TRUE);
            }
            if (height > oldHeight) {
                RECT r = {0, oldHeight, width, height};
                InvalidateRect(hwnd, &r, TRUE);
            }
        }
    }
}

void HandleUserGeometry(HWND hwnd, const RECT& proposed) {
    RECT current;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return;
        }
        current = record->rect;
    }
    if (SameRect(current, proposed)) {
        return;
    }
    RECT rect = proposed;
    bool sized = (current.right - current.left) != (proposed.right - proposed.left) ||
                 (current.bottom - current.top) != (proposed.bottom - proposed.top);
    if (sized) {
        CallWindowProcedure(hwnd, WM_SIZING, static_cast<WPARAM>(SizingEdge(current, proposed)),
                            reinterpret_cast<LPARAM>(&rect));
    } else {
        CallWindowProcedure(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&rect));
    }
    // The procedure may have written anything; keep the rectangle well-formed.
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    ApplyWindowRect(hwnd, rect, !SameRect(rect, proposed));
}

bool GetWindowRecordRect(HWND hwnd, RECT* rect, int* clientWidth, int* clientHeight) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return false;
    }
    *rect = record->rect;
    *clientWidth = record->clientWidth;
    *clientHeight = record->clientHeight;
    return true;
}

} // namespace platform

using namespace platform;

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD) {
    if (!rect) {
        return FALSE;
    }
    if (HasFrame(style)) {
        DesktopMetrics m = GetDesktopMetrics();
        rect->left -= m.frameLeft;
        rect->top -= m.frameTop + (menu ? m.menuHeight : 0);
        rect->right += m.frameRight;
        rect->bottom += m.frameBottom;
    }
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    if (!rect) {
        return FALSE;
    }
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return FALSE;
    }
    if (record->style & WS_CHILD) {
        POINT origin = ClientOriginLocked(*record);
        *rect = RECT{origin.x, origin.y, origin.x + (record->rect.right - record->rect.left),
                     origin.y + (record->rect.bottom - record->rect.top)};
    } else {
        *rect = record->rect;
    }
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    if (!rect) {
        return FALSE;
    }
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return FALSE;
    }
    *rect = RECT{0, 0, record->clientWidth, record->clientHeight};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
    if (!point) {
        return FALSE;
    }
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return FALSE;
    }
    POINT origin = ClientOriginLocked(*record);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
    if (!point) {
        return FALSE;
    }
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return FALSE;
    }
    POINT origin = ClientOriginLocked(*record);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    RECT rect;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return FALSE;
        }
        rect = record->rect;
    }
    if (!(flags & SWP_NOMOVE)) {
        int w = rect.right - rect.left;
        int h = rect.bottom - rect.top;
        rect = RECT{x, y, x + w, y + h};
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::clamp(cx, 0, 8192);
        rect.bottom = rect.top + std::clamp(cy, 0, 8192);
    }
    ApplyWindowRect(hwnd, rect, true);
    if (flags & SWP_HIDEWINDOW) {
        ShowWindow(hwnd, SW_HIDE);
    } else if (flags & SWP_SHOWWINDOW) {
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    }
    if (!(flags & SWP_NOZORDER) && insertAfter != HWND_BOTTOM && !(flags & SWP_NOACTIVATE)) {
        backend::Activate(hwnd);
    }
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    bool wasVisible;
    bool show = cmdShow != SW_HIDE;
    bool child;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return FALSE;
        }
        wasVisible = record->visible;
        record->visible = show;
        if (show) {
            record->style |= WS_VISIBLE;
        } else {
            record->style &= ~static_cast<DWORD>(WS_VISIBLE);
        }
        child = (record->style & WS_CHILD) != 0;
    }
    bool activate = show && !child && cmdShow != SW_SHOWNA && cmdShow != SW_SHOWNOACTIVATE &&
                    cmdShow != SW_SHOWMINNOACTIVE;
    if (show != wasVisible || activate) {
        backend::ApplyVisibility(hwnd, show, activate);
    }
    if (show && !wasVisible) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return FALSE;
    }
    backend::Activate(hwnd);
    return TRUE;
}

BOOL BringWindowToTop(HWND hwnd) {
    return SetForegroundWindow(hwnd);
}

HWND GetForegroundWindow() {
    HWND active = GetActiveDesktopWindow();
    return IsWindow(active) ? active : nullptr;
}

HWND GetActiveWindow() {
    HWND active = GetForegroundWindow();
    return active && IsOwnedByCurrentThread(active) ? active : nullptr;
}

HWND SetFocus(HWND hwnd) {
    auto queue = CurrentQueue();
    HWND old = IsWindow(queue->focus) ? queue->focus : nullptr;
    if (hwnd && !IsOwnedByCurrentThread(hwnd)) {
        return nullptr;
    }
    if (hwnd == old) {
        return old;
    }
    queue->focus = hwnd;
    if (old) {
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd) {
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
        backend::ApplyFocus(hwnd);
    }
    return old;
}

HWND GetFocus() {
    auto queue = CurrentQueue();
    return IsWindow(queue->focus) ? queue->focus : nullptr;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return FALSE;
        }
        wasDisabled = !record->enabled;
        record->enabled = enable != FALSE;
    }
    backend::ApplyEnabled(hwnd);
    SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record && record->enabled ? TRUE : FALSE;
}

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
                   point.y < rect->bottom
               ? TRUE
               : FALSE;
}
