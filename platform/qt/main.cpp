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
