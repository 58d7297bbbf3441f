// Recording of the pointer state and of click-tool events from image window mouse messages.
#include "imagewin/pointer_events.h"

#include "imagewin/image_window.h"
#include "platform/win32_user.h"

int PointerRecording = 0;
int PointerWindow = -1;
int PointerX = 0;
int PointerY = 0;
int PointerLeft = 0;
int PointerMiddle = 0;
int PointerShift = 0;
int PointerCtrl = 0;

int ToolActive = 0;
int ToolWindow = -1;
int ClickPending = 0;
int ClickX = 0;
int ClickY = 0;
int CancelPending = 0;
int MovePending = 0;
int MoveX = 0;
int MoveY = 0;

namespace {

// Client position to image pixels of window n, truncating. A record without a usable zoom
// yields false rather than a division by zero.
bool ImagePosition(int n, WORD clientX, WORD clientY, int* x, int* y) {
    const int zoom = qiv_image[n].zoom;
    if (zoom <= 0) {
        return false;
    }
    *x = clientX * 100 / zoom;
    *y = clientY * 100 / zoom;
    return true;
}

} // namespace

void RecordPointer(HWND hwnd, WPARAM keyState, WORD clientX, WORD clientY) {
    if (PointerRecording == 0) {
        return;
    }
    const int n = FindImageWindow(hwnd);
    int x = 0;
    int y = 0;
    if (n < 0 || !ImagePosition(n, clientX, clientY, &x, &y)) {
        return;
    }
    PointerWindow = n;
    PointerX = x;
    PointerY = y;
    PointerLeft = static_cast<int>(keyState & MK_LBUTTON);
    PointerCtrl = static_cast<int>(keyState & MK_CONTROL);
    PointerMiddle = static_cast<int>(keyState & MK_MBUTTON);
    PointerShift = static_cast<int>(keyState & MK_SHIFT);
}

void FeedClickTool(HWND hwnd, UINT message, WPARAM keyState, WORD clientX, WORD clientY) {
    if (ToolActive == 0 || hwnd == nullptr || !IsImageWindowInUse(ToolWindow) ||
        qiv_image[ToolWindow].hwnd != hwnd) {
        return;
    }
    int x = 0;
    int y = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        if (ImagePosition(ToolWindow, clientX, clientY, &x, &y)) {
            MoveX = x;
            MoveY = y;
            MovePending = 1;
        }
        break;
    case WM_LBUTTONDOWN:
        if (ImagePosition(ToolWindow, clientX, clientY, &x, &y)) {
            ClickX = x;
            ClickY = y;
            ClickPending = 1;
            PointerShift = (keyState & MK_SHIFT) != 0 ? 1 : 0;
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        CancelPending = 1;
        break;
    default:
        break;
    }
}

bool RunPointerSteps(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const WORD clientX = LOWORD(static_cast<std::uintptr_t>(lParam));
    const WORD clientY = HIWORD(static_cast<std::uintptr_t>(lParam));
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
        RecordPointer(hwnd, wParam, clientX, clientY);
        break;
    case WM_RBUTTONDOWN:
        break;
    default:
        return false;
    }
    FeedClickTool(hwnd, message, wParam, clientX, clientY);
    return ToolActive != 0;
}
