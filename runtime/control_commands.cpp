// Start, Stop and Exit.
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/worker.h"
#include "textwin/line_claim.h"
#include "textwin/text_commands.h"

namespace {

constexpr std::uint32_t EXIT_GRACE_MS = 2000;

// Set while Exit waits for the worker, which may send messages that run the main window
// procedure again.
bool exiting = false;

} // namespace

void StartCommand() {
    // A program started while a prompt reads a line would read lines of its own.
    if (Running.load() == 0 && !LineInputBusy()) {
        StartRequested = 1;
        WakeWorker();
    }
}

void StopCommand() {
    StopRequested = 1;
    WakeWorker();
}

void ExitCommand() {
    if (exiting) {
        return;
    }
    exiting = true;
    InputActive = 0;
    StopRequested = 1;
    ExitState = 1;
    WakeWorker();
    QIV_CloseLogs();
    std::uint32_t t0 = QIV_GetTime();
    while (!WorkerFinished()) {
        // The worker may be waiting for the GUI thread (window calls are carried there), so
        // desktop events go on while it finishes; nothing of the main thread is dispatched.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        const std::uint32_t elapsed = QIV_GetTime() - t0;
        if (WorkerFinished() || elapsed > EXIT_GRACE_MS) {
            break;
        }
        // The finished worker wakes this wait (after the look above).
        MsgWaitForMultipleObjects(0, nullptr, FALSE, EXIT_GRACE_MS + 1 - elapsed, QS_ALLINPUT);
    }
    // A worker that is still running cannot be stopped from outside; WinMain ends the whole
    // process once the main window is gone.
    int expected = 1;
    ExitState.compare_exchange_strong(expected, 2);
    ReleaseWorkerThread();
    if (MainWindow) {
        DestroyWindow(MainWindow);
    }
    exiting = false;
}
