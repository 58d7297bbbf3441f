// The input box's life cycle and its item operations.
#include "boxes/input_box.h"

#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "textwin/line_claim.h"
#include "textwin/text_window.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

InputBoxState qiv_inputBox;

namespace {

constexpr DWORD BOX_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr int MAX_WIDTH = 4000; // keeps the box inside the largest window the desktop makes
constexpr char BLANKS[] = "                    ";

bool ValidItem(int i) {
    return qiv_inputBox.window && i >= 0 && i < qiv_inputBox.items && qiv_inputBox.text[i];
}

// The box's outer size for its current items and widths.
SIZE OuterSize() {
    RECT r = {0, 0, qiv_inputBox.ISIZE + qiv_inputBox.ESIZE + 12, 28 * qiv_inputBox.items + 2};
    AdjustWindowRect(&r, BOX_STYLE, FALSE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Posts the selection of field 0's whole text; it takes effect when the worker next pumps.
void PostSelectField0() {
    char text[QIV_INPUT_TEXT];
    QIV_GetWindowText(qiv_inputBox.edit[0], text, sizeof text);
    PostMessageW(qiv_inputBox.edit[0], EM_SETSEL, 0, static_cast<LPARAM>(std::strlen(text)));
}

} // namespace

HWND InputBoxWindow() {
    return qiv_inputBox.window;
}

void QIV_OpenInputBox(int x, int y, int items) {
    InputBoxState& box = qiv_inputBox;
    if (box.window) {
        return;
    }
    box.items = std::clamp(items, 1, QIV_INPUT_ITEMS);
    std::fill_n(box.label, QIV_INPUT_ITEMS, nullptr);
    std::fill_n(box.edit, QIV_INPUT_ITEMS, nullptr);
    // A field of an earlier box must not be taken for this box's last focus.
    box.lastFocus = nullptr;
    SIZE size = OuterSize();
    HWND window = CreateWindowExW(0, L"qiv_ib", L"InputBox", BOX_STYLE, x, y, size.cx, size.cy,
                                  MainWindow, nullptr, nullptr, nullptr);
    if (!window) {
        return;
    }
    box.window = window;
    for (int i = 0; i < box.items; ++i) {
        wchar_t label[16];
        std::swprintf(label, 16, L"Item %d", i);
        box.label[i] =
            CreateWindowExW(0, L"STATIC", label, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 4,
                            28 * i + 7, box.ISIZE, 24, window, nullptr, nullptr, nullptr);
        box.text[i] = static_cast<char*>(std::malloc(QIV_INPUT_TEXT));
        if (box.text[i]) {
            std::snprintf(box.text[i], QIV_INPUT_TEXT, "0");
        }
        box.edit[i] = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"0",
            WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, box.ISIZE + 8,
            28 * i + 4, box.ESIZE, 24, window, nullptr, nullptr, nullptr);
    }
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetFocus(box.edit[0]);
}

void QIV_FocusInputBox() {
    if (!qiv_inputBox.window || qiv_inputBox.items < 1) {
        return;
    }
    SetForegroundWindow(qiv_inputBox.window);
    SetFocus(qiv_inputBox.edit[0]);
    PostSelectField0();
}

void QIV_SetInputBoxTitle(int i, const char* text) {
    if (!ValidItem(i)) {
        return;
    }
    // The blanks first, as the box always did; the label shows only the final text.
    QIV_SetWindowText(qiv_inputBox.label[i], BLANKS);
    QIV_SetWindowText(qiv_inputBox.label[i], text ? text : "");
}

void QIV_SetInputBoxInt(int i, int value) {
    if (!ValidItem(i)) {
        return;
    }
    std::snprintf(qiv_inputBox.text[i], QIV_INPUT_TEXT, "%d", value);
    QIV_SetWindowText(qiv_inputBox.edit[i], qiv_inputBox.text[i]);
}

void QIV_SetInputBoxDouble(int i, double value) {
    if (!ValidItem(i)) {
        return;
    }
    FormatInputBoxDouble(value, qiv_inputBox.text[i], QIV_INPUT_TEXT);
    QIV_SetWindowText(qiv_inputBox.edit[i], qiv_inputBox.text[i]);
}

int QIV_GetInputBoxInt(int i) {
    if (!ValidItem(i)) {
        return 0;
    }
    // atoi's reading, but a number beyond int saturates instead of being undefined.
    long value = std::strtol(qiv_inputBox.text[i], nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

double QIV_GetInputBoxDouble(int i) {
    if (!ValidItem(i)) {
        return 0.0;
    }
    return std::strtod(qiv_inputBox.text[i], nullptr);
}

void QIV_ResizeInputBox(int isize, int esize) {
    InputBoxState& box = qiv_inputBox;
    box.ISIZE = std::clamp(isize, 1, MAX_WIDTH);
    box.ESIZE = std::clamp(esize, 1, MAX_WIDTH);
    if (!box.window) {
        return;
    }
    int isizeWanted = box.ISIZE;
    int esizeWanted = box.ESIZE;
    SIZE size = OuterSize();
    SetWindowPos(box.window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    // WM_SIZE derives one width from the other; the caller gave both.
    box.ISIZE = isizeWanted;
    box.ESIZE = esizeWanted;
    LayOutInputBox();
}

void QIV_DestroyInputBox() {
    InputBoxState& box = qiv_inputBox;
    if (!box.window) {
        return;
    }
    if (!DestroyWindow(box.window)) {
        MessageBoxW(MainWindow, L"DestroyWindow[IB] Error", L"QIVLIB Error!", MB_ICONERROR);
    }
    for (int i = 0; i < box.items; ++i) {
        std::free(box.text[i]);
        box.text[i] = nullptr;
    }
    box.window = nullptr;
}

void ReopenInputBox(int x, int y, int items) {
    if (qiv_inputBox.window) {
        QIV_DestroyInputBox();
    }
    QIV_OpenInputBox(x, y, items);
}

void QIV_RenameInputBoxItem(int i) {
    char label[QIV_INPUT_TEXT] = "";
    if (ValidItem(i)) {
        QIV_GetWindowText(qiv_inputBox.label[i], label, sizeof label);
    }
    if (!BeginLineDialogue()) {
        return; // a line is being read already
    }
    QIV_ShowTextWindow();
    QIV_Printf("%d '%s' ->", i, label);
    char line[QIV_INPUT_TEXT] = "";
    QIV_Input(line);
    EndLineDialogue();
    // The box may have closed while the line was typed.
    if (line[0] != '\0' && ValidItem(i)) {
        QIV_SetInputBoxTitle(i, line);
    }
}
