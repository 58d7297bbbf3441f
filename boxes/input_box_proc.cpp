// The input box's window procedure: capturing typed values, resizing by the frame, the
// pop-up menus and renaming by double click.
#include "boxes/input_box.h"
#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "textwin/text_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int CMD_DESTROY = 1023;
constexpr int CMD_RENAME = 1056;

// Copies a field's text into its item's buffer: the value the getters see from now on.
void CaptureField(HWND field) {
    InputBoxState& box = qiv_inputBox;
    if (!field || !box.window) {
        return;
    }
    for (int i = 0; i < box.items; ++i) {
        if (box.edit[i] == field && box.text[i]) {
            char text[QIV_INPUT_TEXT];
            QIV_GetWindowText(field, text, sizeof text);
            std::memcpy(box.text[i], text, sizeof text);
            return;
        }
    }
}

void ShowMenu(HWND hwnd, int id, const char* text) {
    HMENU menu = CreatePopupMenu();
    MenuAddItem(menu, 0, 0, id, text);
    POINT at = {};
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

bool LeftEdge(int edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}

} // namespace

void LayOutInputBox() {
    InputBoxState& box = qiv_inputBox;
    for (int i = 0; i < box.items; ++i) {
        SetWindowPos(box.label[i], nullptr, 0, 0, box.ISIZE, 24, SWP_NOZORDER | SWP_NOMOVE);
        SetWindowPos(box.edit[i], nullptr, box.ISIZE + 8, 28 * i + 4, box.ESIZE, 24, SWP_NOZORDER);
    }
}

LRESULT CALLBACK InputBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    InputBoxState& box = qiv_inputBox;
    switch (message) {
    case WM_MOVE:
        RebuildSnapTargets();
        return 0;
    case WM_MOVING:
        SnapMovingWindow(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_SIZING: {
        // The height follows the items; only the width may be dragged.
        RECT current = {};
        GetWindowRect(hwnd, &current);
        auto* proposed = reinterpret_cast<RECT*>(lParam);
        proposed->top = current.top;
        proposed->bottom = current.bottom;
        box.sizingEdge = static_cast<int>(wParam);
        return 0;
    }
    case WM_SIZE: {
        if (wParam == SIZE_MINIMIZED) {
            return 0; // a minimized box keeps its widths
        }
        int w = LOWORD(lParam);
        if (LeftEdge(box.sizingEdge)) {
            box.ISIZE = std::max(w - box.ESIZE - 12, 1);
        } else {
            box.ESIZE = std::max(w - box.ISIZE - 12, 1);
        }
        LayOutInputBox();
        return 0;
    }
    case WM_ACTIVATE: {
        if (hwnd != box.window) {
            return 0; // a box that failed to close has no fields to focus
        }
        if (!box.lastFocus) {
            box.lastFocus = box.edit[0];
        }
        SetFocus(box.lastFocus);
        char text[QIV_INPUT_TEXT];
        QIV_GetWindowText(box.edit[0], text, sizeof text);
        PostMessageW(box.edit[0], EM_SETSEL, 0, static_cast<LPARAM>(std::strlen(text)));
        return 0;
    }
    case WM_COMMAND:
        if (lParam == 0 && wParam == IDOK) {
            CaptureField(box.lastFocus); // Enter in a field
        } else if (HIWORD(wParam) == EN_SETFOCUS) {
            box.lastFocus = reinterpret_cast<HWND>(lParam);
        } else if (HIWORD(wParam) == EN_KILLFOCUS) {
            CaptureField(reinterpret_cast<HWND>(lParam));
        }
        if (LOWORD(wParam) == CMD_DESTROY) {
            QIV_DestroyInputBox();
        } else if (LOWORD(wParam) == CMD_RENAME) {
            QIV_RenameInputBoxItem(box.menuItem);
        }
        return 0;
    case WM_CLOSE:
        QIV_DestroyInputBox();
        return 0;
    case WM_DESTROY:
        // However the box goes (Destroy, its worker ending), it forgets its windows and values;
        // the item count and widths stay for the next box.
        if (hwnd == box.window) {
            for (int i = 0; i < QIV_INPUT_ITEMS; ++i) {
                std::free(box.text[i]);
                box.text[i] = nullptr;
                box.label[i] = nullptr;
                box.edit[i] = nullptr;
            }
            box.window = nullptr;
            box.lastFocus = nullptr;
        }
        return 0;
    case WM_NCRBUTTONDOWN:
        ShowMenu(hwnd, CMD_DESTROY, "Destroy");
        return 0;
    case WM_RBUTTONDOWN:
        box.menuItem = HIWORD(lParam) / 28;
        ShowMenu(hwnd, CMD_RENAME, "Rename");
        return 0;
    case WM_LBUTTONDBLCLK:
        QIV_RenameInputBoxItem(HIWORD(lParam) / 28);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
