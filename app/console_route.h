// Where qivstereo's command line leads before any window system is touched: an answer printed at
// once (the usage, a refused batch command line, no display), a batch run, or the windowed
// program. Plain code without OpenCV or Qt, so that the launcher answers it in a few milliseconds.
#pragma once

enum ConsoleRoute {
    ROUTE_ANSWERED, // printed; *status holds the exit status
    ROUTE_BATCH,    // a batch command line that parses: run it
    ROUTE_WINDOWED, // start the windowed program
};

ConsoleRoute RouteCommandLine(int argc, const char* const* argv, int* status);
