// qivstereo: the stereo application, or its batch mode when the command line asks for it.
#include "app/console_route.h"
#include "platform/win32_user.h"
#include "stereo/batch.h"

#include <cstdio>

// The hook the platform's main() calls before any window opens: batch mode's
// exit status for "--batch" command lines, -1 for anything else.
int ConsoleMain(int argc, char** argv) {
    int status = 0;
    switch (RouteCommandLine(argc, argv, &status)) {
    case ROUTE_ANSWERED:
        return status;
    case ROUTE_BATCH:
        return BatchMain(argc, argv, DefaultBatchServices(), stdout, stderr);
    case ROUTE_WINDOWED:
        break;
    }
    return -1;
}
