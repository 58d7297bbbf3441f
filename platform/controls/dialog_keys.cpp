// IsDialogMessageW: the keyboard handling of dialog boxes for any window with controls.
// Tab and Shift+Tab move the focus between the tab-stop controls in the order they were
// made; Enter becomes WM_COMMAND, with the focused push button's id or else IDOK and no
// control handle. Every other message for the window or its controls is translated and
// dispatched here, so keys the dialog does not use still reach their window as WM_KEYDOWN.
#include "platform/controls/controls.h"
#include "platform/user/window_table.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

bool IsSelfOrDescendant(HWND dialog, HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    while (record) {
        if (record->self == dialog) {
            return true;
        }
        if (!(record->style & WS_CHILD)) {
            return false;
        }
        record = FindWindowRecord(record->parent);
    }
    return false;
}

struct Candidate {
    std::uint64_t serial;
    HWND hwnd;
    bool tabStop;
};

// The direct children that can take the focus, in creation order. Labels never take it.
std::vector<HWND> FocusableChildren(HWND dialog) {
    std::vector<Candidate> all;
    {
        auto lock = LockWindowTable();
        WindowRecord* slots = WindowSlots();
        for (int i = 0; i < MAX_WINDOWS; ++i) {
            const WindowRecord& r = slots[i];
            if (r.inUse && !r.destroying && (r.style & WS_CHILD) && r.parent == dialog &&
                r.visible && r.enabled && r.control != ControlKind::Static) {
                all.push_back({r.serial, r.self, (r.style & WS_TABSTOP) != 0});
            }
        }
    }
    std::sort(all.begin(), all.end(),
              [](const Candidate& a, const Candidate& b) { return a.serial < b.serial; });
    // Without any WS_TABSTOP control, Tab walks all of them (a grid of plain push buttons).
    bool anyTabStop =
        std::any_of(all.begin(), all.end(), [](const Candidate& c) { return c.tabStop; });
    std::vector<HWND> result;
    for (const Candidate& c : all) {
        if (c.tabStop || !anyTabStop) {
            result.push_back(c.hwnd);
        }
    }
    return result;
}

void MoveFocus(HWND dialog, bool backwards) {
    std::vector<HWND> order = FocusableChildren(dialog);
    if (order.empty()) {
        return;
    }
    HWND focus = GetFocus();
    auto it = std::find(order.begin(), order.end(), focus);
    HWND next;
    if (it == order.end()) {
        next = backwards ? order.back() : order.front();
    } else if (backwards) {
        next = it == order.begin() ? order.back() : *(it - 1);
    } else {
        next = (it + 1) == order.end() ? order.front() : *(it + 1);
    }
    SetFocus(next);
    // As in dialogs, a field reached by Tab has its whole text selected.
    if (controls::IsControlOfClass(next, L"EDIT")) {
        SendMessageW(next, EM_SETSEL, 0, -1);
    }
}

void PressEnter(HWND dialog) {
    HWND focus = GetFocus();
    if (focus && focus != dialog && controls::IsControlOfClass(focus, L"BUTTON") &&
        GetParent(focus) == dialog) {
        auto id = static_cast<WORD>(GetDlgCtrlID(focus));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(focus));
        return;
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

} // namespace
} // namespace platform

using namespace platform;

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
    if (!msg || !dialog || !IsSelfOrDescendant(dialog, msg->hwnd)) {
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN) {
        bool ctrl = GetKeyState(VK_CONTROL) < 0;
        if (msg->wParam == VK_TAB && !ctrl) {
            MoveFocus(dialog, GetKeyState(VK_SHIFT) < 0);
            return TRUE;
        }
        if (msg->wParam == VK_RETURN) {
            PressEnter(dialog);
            return TRUE;
        }
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}
