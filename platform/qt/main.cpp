// The process entry point: sets up Qt on the main thread, which becomes both Qt's GUI thread
// and the program's main thread, and calls WinMain.
#include "platform/qt/platform_init.h"
#include "platform/user/command_line.h"
#include "platform/win32_user.h"

#include <QApplication>

#include <string>

namespace {

char instanceTag;

} // namespace

// A program may take over before any window system is touched (a batch mode on a machine
// without a display): it defines ConsoleMain, which returns -1 to go on with the windowed
// program or else the process's exit status.
int ConsoleMain(int argc, char** argv) __attribute__((weak));

int main(int argc, char** argv) {
    if (ConsoleMain) {
        int result = ConsoleMain(argc, argv);
        if (result >= 0) {
            return result;
        }
    }
    platform::SetProcessArguments(argc, argv);
    platform::qt::PrepareEnvironment();
    QApplication app(argc, argv);
    platform::qt::InitializePlatform();
    std::string commandLine = platform::ProcessArgumentsNarrow();
    int result = WinMain(reinterpret_cast<HINSTANCE>(&instanceTag), nullptr, commandLine.data(),
                         SW_SHOWDEFAULT);
    platform::qt::ShutDownPlatform();
    return result;
}
