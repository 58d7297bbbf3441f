// System metrics, key state and the cursor position (system colours live with the brushes).
#include "platform/user/desktop_state.h"
#include "platform/user/thread_queue.h"

#include <algorithm>

using namespace platform;

int GetSystemMetrics(int index) {
    DesktopMetrics m = GetDesktopMetrics();
    int caption = std::max(m.frameTop - m.frameBottom, 0);
    switch (index) {
    case SM_CXSCREEN:
        return m.screenWidth;
    case SM_CYSCREEN:
        return m.screenHeight;
    case SM_CXFULLSCREEN:
        return m.workArea.right - m.workArea.left;
    case SM_CYFULLSCREEN:
        return m.workArea.bottom - m.workArea.top - caption;
    case SM_CYCAPTION:
        return caption;
    case SM_CYMENU:
        return m.menuHeight;
    case SM_CXFRAME:
        return m.frameLeft;
    case SM_CYFRAME:
        return m.frameBottom;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
        return m.frameLeft;
    case SM_CYDLGFRAME:
        return m.frameBottom;
    // The smallest window that still has a client pixel.
    case SM_CXMIN:
        return m.frameLeft + m.frameRight + 1;
    case SM_CYMIN:
        return m.frameTop + m.frameBottom + 1;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

SHORT GetKeyState(int virtKey) {
    // The state as of the input message this thread retrieved last, as in Win32.
    auto queue = CurrentQueue();
    return queue->input.IsDown(virtKey) ? static_cast<SHORT>(0xFF80) : 0;
}

BOOL GetCursorPos(LPPOINT point) {
    if (!point) {
        return FALSE;
    }
    *point = GetLastCursorPos();
    return TRUE;
}
