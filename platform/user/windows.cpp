// Window classes, creating and destroying windows.
#include "platform/controls/controls.h"
#include "platform/user/backend.h"
#include "platform/user/desktop_state.h"
#include "platform/user/events.h"
#include "platform/user/internal.h"
#include "platform/user/text.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_table.h"
#include "platform/window_surface.h"

#include <algorithm>
#include <cwctype>
#include <unistd.h>

namespace platform {
namespace {

struct WindowClass {
    bool inUse = false;
    std::wstring name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HBRUSH background = nullptr;
    ControlKind control = ControlKind::None;
    bool builtIn = false;
};

constexpr int MAX_CLASSES = 64;
constexpr int MAX_WINDOW_SIDE = 8192;
std::mutex classMutex;
WindowClass classes[MAX_CLASSES];
int cascadeCounter = 0;

bool SameClassName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) ==
                      std::towlower(static_cast<wint_t>(y));
           });
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Built-in control classes exist from the start, as in Win32.
void RegisterBuiltInClassesLocked() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    struct BuiltIn {
        const wchar_t* name;
        ControlKind kind;
        WNDPROC proc;
        int background;
    };
    const BuiltIn builtIns[] = {{L"STATIC", ControlKind::Static, ControlProc, COLOR_BTNFACE},
                                {L"EDIT", ControlKind::None, EditProc, COLOR_WINDOW},
                                {L"BUTTON", ControlKind::None, ButtonProc, COLOR_BTNFACE}};
    int slot = 0;
    for (const BuiltIn& b : builtIns) {
        WindowClass& c = classes[slot++];
        c.inUse = true;
        c.builtIn = true;
        c.name = b.name;
        c.proc = b.proc;
        c.control = b.kind;
        c.background = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(b.background + 1));
    }
}

bool FindClass(const std::wstring& name, WindowClass* out) {
    std::lock_guard lock(classMutex);
    RegisterBuiltInClassesLocked();
    for (const WindowClass& c : classes) {
        if (c.inUse && SameClassName(c.name, name)) {
            *out = c;
            return true;
        }
    }
    return false;
}

int ClampSide(int value) {
    return std::clamp(value, 0, MAX_WINDOW_SIDE);
}

// The default rectangle of CW_USEDEFAULT: positions cascade down the work area.
void DefaultRect(bool defaultPosition, bool defaultSize, RECT* rect) {
    DesktopMetrics m = GetDesktopMetrics();
    int workWidth = m.workArea.right - m.workArea.left;
    int workHeight = m.workArea.bottom - m.workArea.top;
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    if (defaultSize) {
        width = workWidth * 3 / 4;
        height = workHeight * 3 / 4;
    }
    if (defaultPosition) {
        int step = std::max(m.frameTop, 26);
        int k = cascadeCounter++ % 8;
        rect->left = m.workArea.left + step * (k + 1);
        rect->top = m.workArea.top + step * (k + 1);
    }
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
}

} // namespace

COLORREF BackgroundColor(HBRUSH brush, bool* fill) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    *fill = brush != nullptr;
    if (value >= 1 && value <= COLOR_INACTIVECAPTIONTEXT + 1) {
        return GetSysColor(static_cast<int>(value - 1));
    }
    COLORREF color = 0;
    if (brush && SolidBrushColor(brush, &color)) {
        return color;
    }
    return 0;
}

void ReleaseWindowsOfThread(DWORD threadId) {
    std::vector<HWND> windows =
        CollectWindows([threadId](const WindowRecord& r) { return r.threadId == threadId; });
    for (HWND hwnd : windows) {
        std::wstring className;
        bool topLevel = false;
        {
            auto lock = LockWindowTable();
            WindowRecord* record = FindWindowRecord(hwnd);
            if (!record) {
                continue;
            }
            className = record->className;
            topLevel = (record->style & WS_CHILD) == 0;
            FreeWindowRecord(record);
        }
        backend::DestroyNativeWindow(hwnd);
        if (topLevel) {
            WithdrawTopLevelClass(className);
        }
    }
}

UINT ClassStyleOfWindow(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->classStyle : 0;
}

} // namespace platform

using namespace platform;

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || wc->lpszClassName[0] == 0) {
        return 0;
    }
    std::wstring name = wc->lpszClassName;
    std::lock_guard lock(classMutex);
    RegisterBuiltInClassesLocked();
    int freeSlot = -1;
    for (int i = 0; i < MAX_CLASSES; ++i) {
        if (classes[i].inUse && SameClassName(classes[i].name, name)) {
            return 0; // already registered
        }
        if (!classes[i].inUse && freeSlot < 0) {
            freeSlot = i;
        }
    }
    if (freeSlot < 0) {
        return 0;
    }
    WindowClass& c = classes[freeSlot];
    c.inUse = true;
    c.name = name;
    c.style = wc->style;
    c.proc = wc->lpfnWndProc;
    c.background = wc->hbrBackground;
    c.control = ControlKind::None;
    return static_cast<ATOM>(0xC000 + freeSlot);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    if (!className) {
        return FALSE;
    }
    std::wstring name = className;
    bool inUse = !CollectWindows([&](const WindowRecord& r) {
                      return SameClassName(r.className, name);
                  }).empty();
    if (inUse) {
        return FALSE;
    }
    std::lock_guard lock(classMutex);
    for (WindowClass& c : classes) {
        if (c.inUse && !c.builtIn && SameClassName(c.name, name)) {
            c = WindowClass();
            return TRUE;
        }
    }
    return FALSE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE hInstance,
                     LPVOID param) {
    if (!className) {
        return nullptr;
    }
    WindowClass cls;
    if (!FindClass(className, &cls)) {
        return nullptr;
    }
    const bool child = (style & WS_CHILD) != 0;
    HWND owner = nullptr;
    if (parent) {
        auto lock = LockWindowTable();
        WindowRecord* parentRecord = FindWindowRecord(parent);
        if (!parentRecord) {
            return nullptr;
        }
        // The owner of a top-level window is the top-level ancestor of the given parent.
        if (!child) {
            HWND top = parent;
            WindowRecord* r = parentRecord;
            while (r && (r->style & WS_CHILD) && r->parent) {
                top = r->parent;
                r = FindWindowRecord(top);
            }
            owner = top;
        }
    } else if (child) {
        return nullptr;
    }

    RECT rect;
    if (child) {
        int cx = x == CW_USEDEFAULT ? 0 : x;
        int cy = y == CW_USEDEFAULT ? 0 : y;
        int w = width == CW_USEDEFAULT ? 0 : ClampSide(width);
        int h = height == CW_USEDEFAULT ? 0 : ClampSide(height);
        rect = RECT{cx, cy, cx + w, cy + h};
    } else {
        bool defaultPosition = x == CW_USEDEFAULT;
        bool defaultSize = width == CW_USEDEFAULT;
        int w = defaultSize ? 0 : ClampSide(width);
        int h = defaultSize ? 0 : ClampSide(height);
        int left = defaultPosition ? 0 : x;
        int top = defaultPosition ? 0 : y;
        rect = RECT{left, top, left + w, top + h};
        if (defaultPosition || defaultSize) {
            std::lock_guard lock(classMutex);
            DefaultRect(defaultPosition, defaultSize, &rect);
        }
    }

    auto queue = CurrentQueue();
    HWND hwnd;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = AllocateWindowRecord();
        if (!record) {
            return nullptr;
        }
        hwnd = record->self;
        record->className = cls.name;
        record->proc = cls.proc;
        record->classStyle = cls.style;
        record->background = cls.background;
        record->control = cls.control;
        record->text = SafeWide(windowName);
        // WS_VISIBLE takes effect once WM_CREATE has run.
        record->style = style & ~static_cast<DWORD>(WS_VISIBLE);
        record->exStyle = exStyle;
        record->parent = child ? parent : nullptr;
        record->owner = owner;
        record->id = child ? reinterpret_cast<UINT_PTR>(menu) : 0;
        record->menu = child ? nullptr : menu;
        record->threadId = queue->threadId;
        record->queue = queue;
        record->rect = rect;
        record->acceptFiles = (exStyle & WS_EX_ACCEPTFILES) != 0;
        ClientSizeForRect(rect, style, record->menu != nullptr, &record->clientWidth,
                          &record->clientHeight);
        if (cls.control == ControlKind::None) {
            auto surface = std::make_shared<SurfaceData>();
            surface->background = BackgroundColor(cls.background, &surface->fill);
            ResizeSurface(*surface, record->clientWidth, record->clientHeight);
            record->surface = surface;
        }
    }
    if (!child) {
        AnnounceTopLevelClass(cls.name);
    }
    backend::CreateNativeWindow(hwnd);

    CREATESTRUCTW cs = {param,
                        hInstance,
                        menu,
                        parent,
                        static_cast<int>(rect.bottom - rect.top),
                        static_cast<int>(rect.right - rect.left),
                        static_cast<int>(rect.top),
                        static_cast<int>(rect.left),
                        static_cast<LONG>(style),
                        windowName,
                        className,
                        exStyle};
    auto csParam = reinterpret_cast<LPARAM>(&cs);
    if (!CallWindowProcedure(hwnd, WM_NCCREATE, 0, csParam) ||
        CallWindowProcedure(hwnd, WM_CREATE, 0, csParam) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    int clientWidth = 0;
    int clientHeight = 0;
    POINT origin = {0, 0};
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return nullptr;
        }
        clientWidth = record->clientWidth;
        clientHeight = record->clientHeight;
        origin = child ? POINT{record->rect.left, record->rect.top} : ClientOriginLocked(*record);
    }
    CallWindowProcedure(
        hwnd, WM_SIZE, SIZE_RESTORED,
        MAKELPARAM(static_cast<WORD>(clientWidth), static_cast<WORD>(clientHeight)));
    CallWindowProcedure(hwnd, WM_MOVE, 0,
                        MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    if ((style & WS_VISIBLE) && IsWindow(hwnd) && !IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, child ? SW_SHOWNA : SW_SHOW);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    DWORD self = GetCurrentThreadId();
    std::vector<HWND> owned;
    std::vector<HWND> children;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        // Only the owning thread destroys a window, as in Win32.
        if (!record || record->threadId != self) {
            return FALSE;
        }
        if (record->destroying) {
            return TRUE;
        }
        record->destroying = true;
    }
    owned = CollectWindows([&](const WindowRecord& r) {
        return r.owner == hwnd && r.threadId == self && !r.destroying;
    });
    children = CollectWindows([&](const WindowRecord& r) { return r.parent == hwnd; });
    backend::ApplyVisibility(hwnd, false, false);
    for (HWND w : owned) {
        DestroyWindow(w);
    }
    DropCaptureOf(hwnd);
    CallWindowProcedure(hwnd, WM_DESTROY, 0, 0);
    for (HWND w : children) {
        DestroyWindow(w);
    }
    CallWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);

    std::wstring className;
    bool topLevel = false;
    std::shared_ptr<ThreadQueue> queue;
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return TRUE;
        }
        className = record->className;
        topLevel = (record->style & WS_CHILD) == 0;
        queue = record->queue;
        FreeWindowRecord(record);
    }
    if (queue) {
        if (queue->focus == hwnd) {
            queue->focus = nullptr;
        }
        PurgeWindow(*queue, hwnd);
    }
    backend::DestroyNativeWindow(hwnd);
    if (topLevel) {
        WithdrawTopLevelClass(className);
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    auto lock = LockWindowTable();
    return FindWindowRecord(hwnd) != nullptr ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    // A child is visible only while its ancestors are.
    while (record && record->visible) {
        if (!(record->style & WS_CHILD)) {
            return TRUE;
        }
        record = FindWindowRecord(record->parent);
    }
    return FALSE;
}

HWND GetParent(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return nullptr;
    }
    return (record->style & WS_CHILD) ? record->parent : record->owner;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return 0;
    }
    if (processId) {
        *processId = static_cast<DWORD>(getpid());
    }
    return record->threadId;
}

int GetDlgCtrlID(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record && (record->style & WS_CHILD) ? static_cast<int>(record->id) : 0;
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    // Cursors are stock shapes that the desktop draws; the handle only has to be non-null.
    return reinterpret_cast<HCURSOR>(const_cast<wchar_t*>(name));
}

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    return reinterpret_cast<HICON>(const_cast<wchar_t*>(name));
}
