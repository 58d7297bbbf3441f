// The window procedure of class "qiv_twi".
#include "imagewin/pointer_events.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/worker.h"
#include "textwin/key_ring.h"
#include "textwin/text_commands.h"
#include "textwin/text_internal.h"

#include "platform/win32.h"

namespace {

using namespace textwin;

bool ControlDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

void Resize(int n, HWND hwnd, int width, int height) {
    {
        std::lock_guard lock(SlotLock(n));
        TextWindowRecord& t = qiv_text[n];
        if (!t.open || t.hwnd != hwnd) {
            return; // closed since it was looked up
        }
        ReleaseMemorySurface(t);
        ReleaseDC(hwnd, t.windowDC);
        t.windowDC = GetDC(hwnd);
        t.width = width;
        t.height = height;
        t.cursorX = 0;
        t.cursorY = 0;
        ++t.sizeChanges;
        // Without a bitmap the DC draws nowhere; the next size change tries again.
        CreateMemorySurface(t);
    }
    RebuildSnapTargets();
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(int n, HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    {
        std::lock_guard lock(SlotLock(n));
        const TextWindowRecord& t = qiv_text[n];
        if (t.open && t.memDC) {
            const RECT& r = ps.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, t.memDC, r.left, r.top,
                   SRCCOPY);
        }
    }
    EndPaint(hwnd, &ps);
}

void KeyDown(int n, HWND hwnd, WPARAM key) {
    if (InputActive != 0) {
        int none = 0;
        if (key == VK_UP) {
            InputRequest.compare_exchange_strong(none, 1);
        } else if (key == 'V' && ControlDown()) {
            InputRequest.compare_exchange_strong(none, 2);
        }
        return;
    }
    if (ControlDown()) {
        UINT command = 0;
        switch (key) {
        case 'A':
            command = TEXT_CMD_ABOUT;
            break;
        case 'C':
            command = TEXT_CMD_COPY_LOG;
            break;
        case 'W':
            command = TEXT_CMD_WINDOW_INFO;
            break;
        case 'Q':
            command = TEXT_CMD_DESTROY;
            break;
        case 'S':
            command = TEXT_CMD_SELECT;
            break;
        default:
            break;
        }
        if (command != 0) {
            PostMessageW(hwnd, WM_COMMAND, command, 0);
        }
        return;
    }
    if (ForwardProgramKey(key)) {
        return;
    }
    switch (key) {
    case VK_SPACE:
        QIV_SelectTextWindow(n);
        CommandPrompt();
        break;
    default:
        break;
    }
}

} // namespace

LRESULT CALLBACK TextWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
        return 0;
    case WM_CHAR:
        // Any text window may receive the keys of the line being read.
        if (InputActive != 0 && !ControlDown()) {
            KeyRingPut(static_cast<wchar_t>(wParam));
        }
        return 0;
    default:
        break;
    }
    const int n = TextWindowFromHandle(hwnd);
    if (n < 0) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_MOVE:
        RebuildSnapTargets();
        return 0;
    case WM_SIZE:
        Resize(n, hwnd, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT:
        Paint(n, hwnd);
        return 0;
    case WM_KEYDOWN:
        KeyDown(n, hwnd, wParam);
        return 0;
    case WM_COMMAND:
        TextWindowCommand(n, LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        QIV_CloseTextWindow(n);
        return 0;
    case WM_RBUTTONDOWN:
        // Not while a line is read, nor while a click tool owns the pointer.
        if (InputActive == 0 && ToolActive == 0) {
            TextWindowMenu(n, hwnd);
        }
        return 0;
    case WM_MOVING:
        SnapMovingWindow(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
