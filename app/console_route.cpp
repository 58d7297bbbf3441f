// The command line's answers that need neither a display nor the stereo core.
#include "app/console_route.h"

#include "stereo/batch_args.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

ConsoleRoute RouteCommandLine(int argc, const char* const* argv, int* status) {
    *status = BATCH_OK;
    if (IsBatchCommand(argc, argv)) {
        // Refusals come from here, so that a wrong command line does not wait for the
        // libraries the run loads.
        BatchOptions options;
        std::string message;
        if (ParseBatchArguments(argc, argv, &options, &message) != BATCH_OK) {
            std::fprintf(stderr, "qivstereo: %s\n%s", message.c_str(), BatchUsage());
            *status = BATCH_USAGE;
            return ROUTE_ANSWERED;
        }
        if (options.help) {
            std::fputs(BatchUsage(), stdout);
            return ROUTE_ANSWERED;
        }
        return ROUTE_BATCH;
    }
    // --help prints and ends, and the windowed program without a display would only abort.
    if (IsHelpCommand(argc, argv)) {
        std::fputs(BatchUsage(), stdout);
        return ROUTE_ANSWERED;
    }
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("QT_QPA_PLATFORM")) {
        std::fputs("qivstereo: no display; run 'qivstereo --batch FILE' to work without one "
                   "(--help shows the usage)\n",
                   stderr);
        *status = BATCH_USAGE;
        return ROUTE_ANSWERED;
    }
    return ROUTE_WINDOWED;
}
