// qivstereo: the stereo application, or its batch mode when the command line asks for it.
#include "platform/win32_user.h"
#include "stereo/batch.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

// The hook the platform's main() calls before any window opens: batch mode's
// exit status for "--batch" command lines, -1 for anything else.
int ConsoleMain(int argc, char** argv) {
    // Both answer before any window system is touched: --help prints and ends, and the
    // windowed program without a display would only abort.
    if (IsHelpCommand(argc, argv) && !IsBatchCommand(argc, argv)) {
        std::fputs(BatchUsage(), stdout);
        return BATCH_OK;
    }
    if (IsBatchCommand(argc, argv)) {
        return BatchMain(argc, argv, DefaultBatchServices(), stdout, stderr);
    }
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
        std::fputs("qivstereo: no display; run 'qivstereo --batch FILE' to work without one "
                   "(--help shows the usage)\n",
                   stderr);
        return BATCH_USAGE;
    }
    return -1;
}
