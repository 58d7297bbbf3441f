// qivstereo: the stereo application, or its batch mode when the command line asks for it.
#include "app/batch.h"
#include "app/stereo_program.h"

#include <cstdio>

int ConsoleMain(int argc, char** argv) {
    if (!IsBatchCommand(argc, argv)) {
        return -1;
    }
    return BatchMain(argc, argv, DefaultBatchServices(), stdout, stderr);
}
