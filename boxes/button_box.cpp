// The button box's life cycle, captions and press polling.
#include "boxes/button_box.h"

#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "textwin/line_claim.h"
#include "textwin/text_window.h"

#include <algorithm>
#include <cwchar>

ButtonBoxState qiv_buttonBox;

namespace {

constexpr DWORD BOX_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr int FIRST_ID = 3000;
constexpr int MAX_CLIENT = 8000;

bool ValidButton(int i) {
    return qiv_buttonBox.window && i >= 0 && i < qiv_buttonBox.count;
}

SIZE OuterSize(int clientWidth, int clientHeight) {
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, BOX_STYLE, FALSE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

HWND ButtonBoxWindow() {
    return qiv_buttonBox.window;
}

void QIV_OpenButtonBox(int x, int y, int nx, int ny) {
    ButtonBoxState& box = qiv_buttonBox;
    // Each factor is checked before the product, which therefore cannot overflow.
    if (box.window || nx <= 0 || ny <= 0 || nx > QIV_BUTTONS || ny > QIV_BUTTONS ||
        nx * ny > QIV_BUTTONS) {
        return;
    }
    box.count = nx * ny;
    box.nx = nx;
    box.ny = ny;
    std::fill_n(box.button, QIV_BUTTONS, nullptr);
    SIZE size = OuterSize(nx * (box.width + 4) + 4, ny * (box.height + 4) + 4);
    HWND window = CreateWindowExW(0, L"qiv_bb", L"ButtonBox", BOX_STYLE, x, y, size.cx, size.cy,
                                  MainWindow, nullptr, nullptr, nullptr);
    if (!window) {
        return;
    }
    box.window = window;
    for (int r = 0; r < ny; ++r) {
        for (int c = 0; c < nx; ++c) {
            int i = r * nx + c;
            wchar_t caption[8];
            std::swprintf(caption, 8, L"%d", i);
            box.button[i] = CreateWindowExW(
                0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_MULTILINE,
                c * (box.width + 4) + 4, r * (box.height + 4) + 4, box.width, box.height, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(FIRST_ID + i)), nullptr, nullptr);
            box.pressCount[i] = 0;
        }
    }
    UpdateWindow(window);
    SetForegroundWindow(window);
}

void QIV_SetButtonBoxTitle(int i, const char* text) {
    if (ValidButton(i)) {
        QIV_SetWindowText(qiv_buttonBox.button[i], text ? text : "");
    }
}

int QIV_CheckButton(int i) {
    if (!ValidButton(i)) {
        return 0;
    }
    int presses = qiv_buttonBox.pressCount[i];
    qiv_buttonBox.pressCount[i] = 0;
    return presses;
}

void QIV_ResizeButtonBox(int w, int h) {
    if (!qiv_buttonBox.window) {
        return;
    }
    SIZE size = OuterSize(std::clamp(w, 1, MAX_CLIENT), std::clamp(h, 1, MAX_CLIENT));
    // WM_SIZE derives the button size and lays the buttons out.
    SetWindowPos(qiv_buttonBox.window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

void QIV_DestroyButtonBox() {
    if (!qiv_buttonBox.window) {
        return;
    }
    if (!DestroyWindow(qiv_buttonBox.window)) {
        MessageBoxW(MainWindow, L"DestroyWindow[BB] error", L"QIVLIB error!", MB_ICONERROR);
    }
    qiv_buttonBox.window = nullptr;
}

void ReopenButtonBox(int x, int y, int nx, int ny) {
    if (qiv_buttonBox.window) {
        QIV_DestroyButtonBox();
    }
    QIV_OpenButtonBox(x, y, nx, ny);
}

void QIV_RenameButton(int i) {
    char caption[256] = "";
    if (ValidButton(i)) {
        QIV_GetWindowText(qiv_buttonBox.button[i], caption, sizeof caption);
    }
    if (!BeginLineDialogue()) {
        return; // a line is being read already
    }
    QIV_ShowTextWindow();
    QIV_Printf("%d '%s' ->", i, caption);
    char line[512] = "";
    QIV_Input(line);
    EndLineDialogue();
    // The box may have closed while the line was typed.
    if (line[0] != '\0' && ValidButton(i)) {
        QIV_SetWindowText(qiv_buttonBox.button[i], line);
    }
}
