#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"

void QIV_SetForeground(HWND hwnd) {
    if (hwnd) {
        SetForegroundWindow(hwnd);
    }
}

HWND QIV_MainWindow() {
    return MainWindow;
}
