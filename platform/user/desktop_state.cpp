#include "platform/user/desktop_state.h"

#include <mutex>

namespace platform {
namespace {

std::mutex stateMutex;
DesktopMetrics metrics;
InputState asyncInput;
POINT cursor = {0, 0};
HWND activeWindow = nullptr;

} // namespace

DesktopMetrics GetDesktopMetrics() {
    std::lock_guard lock(stateMutex);
    return metrics;
}

void SetDesktopMetrics(const DesktopMetrics& value) {
    std::lock_guard lock(stateMutex);
    metrics = value;
}

bool HasFrame(DWORD style) {
    if (style & WS_CHILD) {
        return false;
    }
    return (style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME)) != 0 ||
           (style & WS_POPUP) == 0;
}

InputState GetAsyncInputState() {
    std::lock_guard lock(stateMutex);
    return asyncInput;
}

void SetAsyncInputState(const InputState& state) {
    std::lock_guard lock(stateMutex);
    asyncInput = state;
}

POINT GetLastCursorPos() {
    std::lock_guard lock(stateMutex);
    return cursor;
}

void SetLastCursorPos(POINT point) {
    std::lock_guard lock(stateMutex);
    cursor = point;
}

HWND GetActiveDesktopWindow() {
    std::lock_guard lock(stateMutex);
    return activeWindow;
}

void SetActiveDesktopWindow(HWND hwnd) {
    std::lock_guard lock(stateMutex);
    activeWindow = hwnd;
}

} // namespace platform
