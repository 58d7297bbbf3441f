// The worker thread: it owns every framework window but the main window, serves the main
// thread's requests while idle, and runs the user program on Start.
#include "runtime/worker.h"

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/snapping.h"

#include <atomic>
#include <thread>

namespace {

// The idle loop's longest sleep: flags changed by code that does not wake the worker (a test
// setting a control word directly) are still seen within this time.
constexpr DWORD IDLE_WAIT_MS = 100;

std::thread workerThread;
std::atomic<bool> workerDone{true};
std::atomic<DWORD> workerThreadId{0};
std::atomic<DWORD> mainThreadId{0};

// A WM_NULL ends the thread's wait for messages; it dispatches to nothing.
void Wake(const std::atomic<DWORD>& thread) {
    if (const DWORD id = thread.load()) {
        PostThreadMessageW(id, WM_NULL, 0, 0);
    }
}

void AcceptDrops(BOOL accept) {
    if (MainWindow) {
        DragAcceptFiles(MainWindow, accept);
    }
}

} // namespace

void WakeWorker() {
    Wake(workerThreadId);
}

void WakeMainThread() {
    Wake(mainThreadId);
}

int WorkerMain() {
    workerThreadId = GetCurrentThreadId();
    UserInit();
    RebuildSnapTargets();
    while (ExitState.load() == 0) {
        QIV_PumpMessages();
        if (RequestCode.load(std::memory_order_acquire) != 0) {
            ServiceRequest();
            continue;
        }
        if (StartRequested.load() == 0 || Running.load() != 0) {
            // Whoever sets Start, Exit or a request wakes this wait with a message.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, IDLE_WAIT_MS, QS_ALLINPUT);
            continue;
        }
        AcceptDrops(FALSE);
        Running = 1;
        StartRequested = 0;
        StopRequested = 0;
        UserMain();
        if (ExitState.load() != 0) {
            break;
        }
        // A Start that raced with the start of this run belongs to it, not to a new one.
        StartRequested = 0;
        Running = 0;
        StopRequested = 0;
        AcceptDrops(TRUE);
    }
    ExitState = 2;
    QIV_PumpMessages();
    // The boxes are the worker's: destroyed on it, they forget their windows, and the next
    // program in this process opens them afresh.
    for (HWND box : {InputBoxWindow(), ButtonBoxWindow()}) {
        if (box != nullptr) {
            DestroyWindow(box);
        }
    }
    workerThreadId = 0;
    return 0;
}

void StartWorkerThread() {
    workerDone = false;
    mainThreadId = GetCurrentThreadId();
    workerThread = std::thread([] {
        WorkerMain();
        workerDone = true;
        WakeMainThread();
    });
}

bool WorkerFinished() {
    return workerDone.load();
}

void ReleaseWorkerThread() {
    if (workerThread.joinable() && workerDone.load()) {
        workerThread.join();
    }
}
