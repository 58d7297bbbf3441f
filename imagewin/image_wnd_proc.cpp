// The window procedure of image windows: painting from the buffer, closing, moving with
// snapping, a frame that can't be dragged to another size, and the pointer steps.
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "platform/win32.h"
#include "runtime/snapping.h"

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
    case WM_MBUTTONDOWN:
        // A drag keeps reporting while the pointer is outside the window, until the release.
        SetCapture(hwnd);
        RunPointerSteps(hwnd, message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
        RunPointerSteps(hwnd, message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
        if ((wParam & (MK_LBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd) {
            ReleaseCapture();
        }
        return 0;
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
    case WM_DROPFILES:
        // Keys, the wheel, menu commands and dropped files are taken but not acted on yet.
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
