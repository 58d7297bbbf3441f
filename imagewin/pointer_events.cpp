// Recording of the pointer state and of click-tool events from image window mouse messages.
#include "imagewin/pointer_events.h"

#include "imagewin/image_window.h"
#include "platform/win32_user.h"

#include <algorithm>
#include <cstdint>

int PointerRecording = 0;
int PointerWindow = -1;
int PointerX = 0;
int PointerY = 0;
int PointerLeft = 0;
int PointerMiddle = 0;
int PointerShift = 0;
int PointerCtrl = 0;

std::atomic<int> ToolActive{0};
int ToolWindow = -1;
int ClickPending = 0;
int ClickX = 0;
int ClickY = 0;
int CancelPending = 0;
int MovePending = 0;
int MoveX = 0;
int MoveY = 0;

namespace {

// Client position to image pixels of window n, truncating, and held inside the image: a drag
// that leaves a window holding the capture reports positions beyond its edges, and a program
// indexes its buffer with what it reads. A record without a usable zoom yields false rather
// than a division by zero.
bool ImagePosition(int n, int clientX, int clientY, int* x, int* y) {
    const ImageWindowRecord& record = qiv_image[n];
    if (record.zoom <= 0 || record.width <= 0 || record.height <= 0) {
        return false;
    }
    *x = std::clamp(static_cast<int>(std::int64_t{clientX} * 100 / record.zoom), 0,
                    record.width - 1);
    *y = std::clamp(static_cast<int>(std::int64_t{clientY} * 100 / record.zoom), 0,
                    record.height - 1);
    return true;
}

} // namespace

void RecordPointer(HWND hwnd, WPARAM keyState, int clientX, int clientY) {
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

void FeedClickTool(HWND hwnd, UINT message, WPARAM keyState, int clientX, int clientY) {
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
    // Signed words: a window holding the capture hears moves left of and above its client area.
    const int clientX = GET_X_LPARAM(lParam);
    const int clientY = GET_Y_LPARAM(lParam);
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
