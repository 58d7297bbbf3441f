// The built-in EDIT and BUTTON classes. Both are ordinary windows of the messaging core with
// their own client surfaces: their procedures run on the owning thread, so typing and clicking
// change a control only while that thread pumps, and every key passes through its queue where
// IsDialogMessageW can see it.
#pragma once

#include "platform/win32_user.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

namespace controls {

// Per-window state of one control class. Entries are made on WM_NCCREATE and dropped on
// WM_NCDESTROY; a state is touched only on its window's thread. A procedure looks its state
// up again after anything that may have destroyed the window (a notification sent to the
// parent), since the pointer dies with the window.
template <typename State>
class StateTable {
public:
    State* Find(HWND hwnd) {
        std::lock_guard lock(mutex);
        auto it = states.find(hwnd);
        return it == states.end() ? nullptr : it->second.get();
    }
    State* Create(HWND hwnd) {
        std::lock_guard lock(mutex);
        auto& slot = states[hwnd];
        slot = std::make_unique<State>();
        return slot.get();
    }
    void Erase(HWND hwnd) {
        std::lock_guard lock(mutex);
        states.erase(hwnd);
    }

private:
    std::mutex mutex;
    std::map<HWND, std::unique_ptr<State>> states;
};

// WM_COMMAND to the parent with the control's id and a notification code.
void NotifyParent(HWND hwnd, WORD code);
// True when the class of hwnd is the named built-in class.
bool IsControlOfClass(HWND hwnd, const wchar_t* className);
// The window's text and styles as stored (no message sent).
std::wstring StoredText(HWND hwnd);
DWORD StyleOf(HWND hwnd);
DWORD ExStyleOf(HWND hwnd);

} // namespace controls
} // namespace platform
