// Ctrl-snapping. The list is rebuilt on both threads (the main window moves on the main
// thread, every other window on the worker). Each thread reads only its own windows: the
// worker's part is handed over under the lock, and the list is swapped in and copied out
// under it too.
#include "runtime/snapping.h"

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/program_state.h"
#include "textwin/text_window.h"

#include <cstdlib>
#include <mutex>

SnapTargets qiv_snapTargets;

namespace {

std::mutex snapMutex;
SnapTargets workerWindows; // the worker's windows as it last listed them; under snapMutex

constexpr int CATCH_DISTANCE = 8; // a difference below 8 pixels catches

void AddWindow(SnapTargets* targets, HWND hwnd) {
    RECT r;
    // A window closed since the table said it was open has no rectangle.
    if (hwnd && GetWindowRect(hwnd, &r)) {
        AddSnapTarget(targets, r);
    }
}

bool Near(int a, int b) {
    return std::abs(a - b) < CATCH_DISTANCE;
}

void ShiftX(RECT* r, int dx) {
    r->left += dx;
    r->right += dx;
}

void ShiftY(RECT* r, int dy) {
    r->top += dy;
    r->bottom += dy;
}

} // namespace

bool AddSnapTarget(SnapTargets* targets, const RECT& r) {
    if (targets->count >= QIV_SNAP_TARGETS) {
        return false;
    }
    int i = targets->count++;
    targets->left[i] = r.left;
    targets->top[i] = r.top;
    targets->right[i] = r.right;
    targets->bottom[i] = r.bottom;
    return true;
}

void AddSnapWalls(SnapTargets* targets, int w, int h) {
    // Their inner edges lie on the work area's border, so a window snaps to the border.
    AddSnapTarget(targets, RECT{-1000, 0, 0, h});
    AddSnapTarget(targets, RECT{0, -1000, w, 0});
    AddSnapTarget(targets, RECT{w, 0, w + 1000, h});
    AddSnapTarget(targets, RECT{0, h, w, h + 1000});
}

void RebuildSnapTargets() {
    // The image table and the boxes are the worker's; the main thread (which owns the main
    // window) takes the worker's last list of them instead of reading them.
    const bool onMainThread = MainWindow != nullptr &&
                              GetWindowThreadProcessId(MainWindow, nullptr) == GetCurrentThreadId();
    auto* own = new SnapTargets;
    if (!onMainThread) {
        for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
            if (qiv_image[n].inUse) {
                AddWindow(own, qiv_image[n].hwnd);
            }
        }
        for (int n = 0; n < 256; ++n) {
            AddWindow(own, TextWindowHandle(n));
        }
        AddWindow(own, InputBoxWindow());
        AddWindow(own, ButtonBoxWindow());
    }
    auto* list = new SnapTargets;
    AddSnapWalls(list, GetSystemMetrics(SM_CXFULLSCREEN),
                 GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION));
    RECT main;
    const bool mainShown = MainWindow != nullptr && GetWindowRect(MainWindow, &main);
    {
        std::lock_guard lock(snapMutex);
        if (!onMainThread) {
            workerWindows = *own;
        }
        for (int i = 0; i < workerWindows.count; ++i) {
            AddSnapTarget(list, RECT{workerWindows.left[i], workerWindows.top[i],
                                     workerWindows.right[i], workerWindows.bottom[i]});
        }
        if (mainShown) {
            AddSnapTarget(list, main);
        }
        qiv_snapTargets = *list;
    }
    delete own;
    delete list;
}

void SnapMovingWindow(HWND hwnd, RECT* proposed) {
    if (!proposed || GetKeyState(VK_CONTROL) >= 0) {
        return;
    }
    RECT current;
    if (!GetWindowRect(hwnd, &current)) {
        return;
    }
    auto* list = new SnapTargets;
    {
        std::lock_guard lock(snapMutex);
        *list = qiv_snapTargets;
    }
    SnapRectangle(*list, current, proposed);
    delete list;
}

void SnapRectangle(const SnapTargets& targets, const RECT& current, RECT* proposed) {
    // Every comparison uses the rectangle as proposed, even after a shift.
    const RECT p = *proposed;
    bool settledX = false;
    bool settledY = false;
    for (int i = 0; i < targets.count && !(settledX && settledY); ++i) {
        const int left = targets.left[i];
        const int top = targets.top[i];
        const int right = targets.right[i];
        const int bottom = targets.bottom[i];
        if (left == current.left && top == current.top && right == current.right &&
            bottom == current.bottom) {
            continue; // the moving window itself
        }
        bool overlapH = left <= p.right && right >= p.left;
        bool overlapV = top <= p.bottom && bottom >= p.top;
        // Side by side.
        if (!settledX && overlapV) {
            if (Near(right, p.left)) {
                ShiftX(proposed, right - p.left);
                settledX = true;
            } else if (Near(left, p.right)) {
                ShiftX(proposed, left - p.right);
                settledX = true;
            }
        }
        // Tops or bottoms line up after a side contact.
        if (!settledY && settledX && overlapH) {
            if (Near(top, p.top)) {
                ShiftY(proposed, top - p.top);
                settledY = true;
            } else if (Near(bottom, p.bottom)) {
                ShiftY(proposed, bottom - p.bottom);
                settledY = true;
            }
        }
        // Stacked.
        if (!settledY && overlapH) {
            if (Near(bottom, p.top)) {
                ShiftY(proposed, bottom - p.top);
                settledY = true;
            } else if (Near(top, p.bottom)) {
                ShiftY(proposed, top - p.bottom);
                settledY = true;
            }
        }
        // Left or right edges line up after a stacking contact.
        if (!settledX && settledY && overlapV) {
            if (Near(left, p.left)) {
                ShiftX(proposed, left - p.left);
                settledX = true;
            } else if (Near(right, p.right)) {
                ShiftX(proposed, right - p.right);
                settledX = true;
            }
        }
    }
}
