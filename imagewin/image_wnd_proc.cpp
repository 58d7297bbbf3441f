// The window procedure of image windows: painting from the buffer, closing, moving with
// snapping, a frame that can't be dragged to another size, the pointer steps, keys, the wheel,
// the two pop-up menus, their commands and dropped files.
#include "imagewin/image_commands.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"

namespace {

void PostCommand(HWND hwnd, int id) {
    PostMessageW(hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

// The keypad's and the wheel's zoom steps.
void StepZoom(int n, bool larger) {
    if (IsImageWindowInUse(n)) {
        const int zoom = qiv_image[n].zoom;
        QIV_SetZoom(n, larger ? ZoomInStep(zoom) : ZoomOutStep(zoom));
    }
}

// The Ctrl shortcuts; false for a key without one, which then counts as pressed alone.
bool ControlKey(HWND hwnd, int n, WPARAM key) {
    switch (key) {
    case 'X':
        PostCommand(hwnd, IMG_CMD_CUT);
        return true;
    case 'C':
        PostCommand(hwnd, IMG_CMD_COPY);
        return true;
    case 'V':
        PostCommand(hwnd, IMG_CMD_PASTE_ORIGIN);
        return true;
    case 'Q':
        PostCommand(hwnd, IMG_CMD_DESTROY);
        return true;
    case 'R':
        PostCommand(hwnd, IMG_CMD_CLIPPING);
        return true;
    case VK_ADD:
        StepZoom(n, true);
        return true;
    case VK_SUBTRACT:
        StepZoom(n, false);
        return true;
    case VK_NUMPAD0:
        QIV_SetZoom(n, 100);
        return true;
    default:
        return false;
    }
}

void KeyDown(HWND hwnd, WPARAM key) {
    // A click tool owns the window until it ends.
    if (ToolActive != 0) {
        return;
    }
    const int n = FindImageWindow(hwnd);
    if (GetKeyState(VK_CONTROL) < 0 && ControlKey(hwnd, n, key)) {
        return;
    }
    if (ForwardProgramKey(key)) {
        return;
    }
    switch (key) {
    case VK_TAB:
        if (IsImageWindowInUse(n)) {
            QIV_SetStretchMode(n, QIV_GetStretchMode(n) == COLORONCOLOR ? HALFTONE : COLORONCOLOR);
        }
        break;
    default:
        break;
    }
}

void Wheel(HWND hwnd, WPARAM wParam) {
    const auto delta = static_cast<short>(HIWORD(wParam));
    if ((LOWORD(wParam) & MK_CONTROL) != 0 && delta != 0) {
        StepZoom(FindImageWindow(hwnd), delta < 0);
    }
}

// Right button: the window menu; Ctrl + right button or the middle button: the tools menu.
// None while a line is being read.
void ShowMenu(HWND hwnd, UINT message, WPARAM wParam) {
    if (InputActive.load() != 0) {
        return;
    }
    const int n = FindImageWindow(hwnd);
    if (n < 0) {
        return;
    }
    // The menu takes the button's release: a capture left behind would keep every later move.
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    POINT at{};
    GetCursorPos(&at);
    const bool tools = message == WM_MBUTTONDOWN || (wParam & MK_CONTROL) != 0;
    HMENU menu = tools ? BuildToolsMenu(n) : BuildImageMenu(hwnd);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

} // namespace

LRESULT CALLBACK ImageWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
        return 0;
    case WM_MOVE:
        RebuildSnapTargets();
        return 0;
    case WM_PAINT: {
        // The whole client area comes from the buffer, whatever the update region.
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        QIV_UpdateImage(FindImageWindow(hwnd));
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_CLOSE:
        QIV_DestroyImage(FindImageWindow(hwnd));
        return 0;
    case WM_SIZING:
        // Sizes change only through zoom and resize, which keep the client and buffer in step.
        GetWindowRect(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_MOVING:
        SnapMovingWindow(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        // A drag keeps reporting while the pointer is outside the window, until the release.
        SetCapture(hwnd);
        RunPointerSteps(hwnd, message, wParam, lParam);
        return 0;
    case WM_MBUTTONDOWN:
        SetCapture(hwnd);
        if (!RunPointerSteps(hwnd, message, wParam, lParam)) {
            ShowMenu(hwnd, message, wParam);
        }
        return 0;
    case WM_RBUTTONDOWN:
        if (!RunPointerSteps(hwnd, message, wParam, lParam)) {
            ShowMenu(hwnd, message, wParam);
        }
        return 0;
    case WM_MOUSEMOVE:
        RunPointerSteps(hwnd, message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        if ((wParam & (MK_LBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd) {
            ReleaseCapture();
        }
        return 0;
    case WM_KEYDOWN:
        KeyDown(hwnd, wParam);
        return 0;
    case WM_MOUSEWHEEL:
        Wheel(hwnd, wParam);
        return 0;
    case WM_COMMAND:
        RunImageCommand(hwnd, LOWORD(wParam));
        return 0;
    case WM_DROPFILES:
        return DropOnImageWindow(hwnd, reinterpret_cast<HDROP>(wParam));
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
