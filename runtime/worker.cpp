// The worker thread: it owns every framework window but the main window, serves the main
// thread's requests while idle, and runs the user program on Start.
#include "runtime/worker.h"

#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/snapping.h"
#include "runtime/subsystem_seams.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::thread workerThread;
std::atomic<bool> workerDone{true};

void AcceptDrops(BOOL accept) {
    if (MainWindow) {
        DragAcceptFiles(MainWindow, accept);
    }
}

} // namespace

int WorkerMain() {
    UserInit();
    RebuildSnapTargets();
    while (ExitState.load() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QIV_PumpMessages();
        if (RequestCode.load(std::memory_order_acquire) != 0) {
            ServiceRequest();
        }
        if (StartRequested.load() != 0 && Running.load() == 0) {
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
    return 0;
}

void StartWorkerThread() {
    workerDone = false;
    workerThread = std::thread([] {
        WorkerMain();
        workerDone = true;
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
