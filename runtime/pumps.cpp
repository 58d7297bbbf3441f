// The message pumps of every waiting loop, and the timed wait built on them.
//
// A WM_QUIT that a pump takes is not acted on, but it is posted again once the queue is empty:
// the main window's Exit can run inside a requester's pump, and the main message loop must
// still see the quit message that destroying the window posted.
#include "boxes/box_dialogs.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/worker.h"

#include <chrono>
#include <cmath>

namespace {

enum class DialogHandling { Boxes, None };

void Pump(DialogHandling dialogs) {
    bool quit = false;
    int quitCode = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        if (dialogs == DialogHandling::Boxes && IsBoxDialogMessage(&msg)) {
            continue; // the input box's or the button box's dialog keys took it
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (quit) {
        PostQuitMessage(quitCode);
    }
}

} // namespace

void QIV_PumpMessages() {
    Pump(DialogHandling::Boxes);
}

void PumpMainMessages() {
    Pump(DialogHandling::None);
}

int QIV_Wait(int milliseconds) {
    const auto t0 = std::chrono::steady_clock::now();
    for (;;) {
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - t0;
        const double left = milliseconds - elapsed.count();
        if (left <= 0.5) {
            return 0;
        }
        QIV_PumpMessages();
        if (StopRequested != 0) {
            return 1;
        }
        // Stop and Exit wake this wait; so does any message for the thread's windows.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::ceil(left - 0.5)),
                                  QS_ALLINPUT);
    }
}
