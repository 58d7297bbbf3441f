// The real program with a test user program, run as a child process by process_test.cpp.
// QIV_TEST_PROGRAM chooses what it does:
//   idle                  reports its instance number and waits
//   exit-when-idle        chooses Exit as soon as the worker idles
//   exit-ignoring-stop    starts a user program that chooses Exit and then never returns
//   report                reports each run of the user program, which runs until Stop
#include "runtime/program_state.h"
#include "runtime/qivlib.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

bool Mode(const char* name) {
    const char* mode = std::getenv("QIV_TEST_PROGRAM");
    return mode && std::strcmp(mode, name) == 0;
}

} // namespace

void UserInit() {
    std::printf("instance %d\n", InstanceNumber);
    std::fflush(stdout);
    if (Mode("exit-when-idle")) {
        PostMessageW(MainWindow, WM_COMMAND, CMD_EXIT, 0);
    } else if (Mode("exit-ignoring-stop")) {
        PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
    }
}

void UserMain() {
    std::printf("running\n");
    std::fflush(stdout);
    if (Mode("report")) {
        while (!StopRequested) {
            QIV_PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::printf("stopped\n");
        std::fflush(stdout);
        return;
    }
    PostMessageW(MainWindow, WM_COMMAND, CMD_EXIT, 0);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
