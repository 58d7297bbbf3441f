// Whether a window's present outer rectangle is among the runtime's snap targets. Read after
// the thread that owns the window has finished changing it.
#pragma once

#include "platform/win32.h"
#include "runtime/snapping.h"

namespace qivtest {

inline bool IsSnapTarget(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const SnapTargets& t = qiv_snapTargets;
    for (int i = 0; i < t.count; ++i) {
        if (t.left[i] == r.left && t.top[i] == r.top && t.right[i] == r.right &&
            t.bottom[i] == r.bottom) {
            return true;
        }
    }
    return false;
}

} // namespace qivtest
