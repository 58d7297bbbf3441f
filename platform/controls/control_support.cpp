// What the drawn controls share: notifying the parent and reading the window table.
#include "platform/controls/controls.h"
#include "platform/user/window_table.h"

#include <cwctype>

namespace platform::controls {

void NotifyParent(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (!parent) {
        return;
    }
    auto id = static_cast<WORD>(GetDlgCtrlID(hwnd));
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
}

bool IsControlOfClass(HWND hwnd, const wchar_t* className) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record) {
        return false;
    }
    const std::wstring& name = record->className;
    std::size_t i = 0;
    for (; className[i] != 0; ++i) {
        if (i >= name.size() || std::towupper(static_cast<wint_t>(name[i])) !=
                                    std::towupper(static_cast<wint_t>(className[i]))) {
            return false;
        }
    }
    return i == name.size();
}

std::wstring StoredText(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->text : std::wstring();
}

DWORD StyleOf(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->style : 0;
}

DWORD ExStyleOf(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->exStyle : 0;
}

} // namespace platform::controls
