// qivstereo-batch: batch mode on its own, started by qivstereo for "--batch" command lines. It
// links the stereo core (OpenCV) but no Qt, and qivstereo itself neither.
#include "stereo/batch.h"

#include <cstdio>

int main(int argc, char** argv) {
    return BatchMain(argc, argv, DefaultBatchServices(), stdout, stderr);
}
