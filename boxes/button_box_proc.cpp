// The button box's window procedure: counting presses by click and digit key, forwarding the
// main window's keys, free resizing, the pop-up menus and renaming by double click.
#include "boxes/button_box.h"
#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "textwin/text_window.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int FIRST_ID = 3000;
constexpr int CMD_DESTROY = 1050;
constexpr int CMD_RENAME = 1057;

void CountPress(int i) {
    if (i >= 0 && i < QIV_BUTTONS) {
        ++qiv_buttonBox.pressCount[i];
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

void KeyDown(HWND hwnd, WPARAM key) {
    if (GetKeyState(VK_CONTROL) < 0) {
        if (key == 'Q') {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return;
    }
    if (ForwardProgramKey(key)) {
        return;
    }
    if (key >= '0' && key <= '9') {
        CountPress(static_cast<int>(key - '0'));
    } else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        CountPress(static_cast<int>(key - VK_NUMPAD0));
    }
}

} // namespace

int ButtonAtPoint(int x, int y) {
    const ButtonBoxState& box = qiv_buttonBox;
    int column = std::min(x / (box.width + 4), std::max(box.nx - 1, 0));
    int row = std::min(y / (box.height + 4), std::max(box.ny - 1, 0));
    return row * box.nx + column;
}

void LayOutButtonBox() {
    const ButtonBoxState& box = qiv_buttonBox;
    for (int r = 0; r < box.ny; ++r) {
        for (int c = 0; c < box.nx; ++c) {
            SetWindowPos(box.button[r * box.nx + c], nullptr, c * (box.width + 4) + 4,
                         r * (box.height + 4) + 4, box.width, box.height, SWP_NOZORDER);
        }
    }
}

LRESULT CALLBACK ButtonBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonBoxState& box = qiv_buttonBox;
    switch (message) {
    case WM_MOVE:
        RebuildSnapTargets();
        return 0;
    case WM_MOVING:
        SnapMovingWindow(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_SIZE: {
        if (wParam == SIZE_MINIMIZED || box.nx < 1 || box.ny < 1) {
            return 0; // a minimized box keeps its button size
        }
        int cw = LOWORD(lParam);
        int ch = HIWORD(lParam);
        box.width = std::max(1, cw - (4 * box.nx + 4)) / box.nx;
        box.height = std::max(1, ch - (4 * box.ny + 4)) / box.ny;
        LayOutButtonBox();
        return 0;
    }
    case WM_KEYDOWN:
        KeyDown(hwnd, wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) {
            // The box, not the clicked button, takes the following keys.
            SetFocus(hwnd);
            int id = LOWORD(wParam);
            if (id >= FIRST_ID && id - FIRST_ID < box.count) {
                CountPress(id - FIRST_ID);
            }
        }
        if (LOWORD(wParam) == CMD_DESTROY) {
            QIV_DestroyButtonBox();
        } else if (LOWORD(wParam) == CMD_RENAME) {
            QIV_RenameButton(box.menuButton);
        }
        return 0;
    case WM_CLOSE:
        QIV_DestroyButtonBox();
        return 0;
    case WM_DESTROY:
        // However the box goes (Destroy, its worker ending), it forgets its buttons and their
        // presses; the button size stays for the next box.
        if (hwnd == box.window) {
            box.window = nullptr;
            std::fill(std::begin(box.button), std::end(box.button), nullptr);
            std::fill(std::begin(box.pressCount), std::end(box.pressCount), 0);
        }
        return 0;
    case WM_NCRBUTTONDOWN:
        ShowMenu(hwnd, CMD_DESTROY, "&Destroy\tCtrl+Q");
        return 0;
    case WM_RBUTTONDOWN:
        box.menuButton = ButtonAtPoint(LOWORD(lParam), HIWORD(lParam));
        ShowMenu(hwnd, CMD_RENAME, "Rename");
        return 0;
    case WM_LBUTTONDBLCLK:
        QIV_RenameButton(ButtonAtPoint(LOWORD(lParam), HIWORD(lParam)));
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
