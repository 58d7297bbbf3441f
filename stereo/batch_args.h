// Batch mode's command line: its options, their parsing and the usage. Plain code, so that the
// command line is answered without loading the libraries the run needs.
#pragma once

#include "stereo/eyes.h"
#include "stereo/stereo_parameters.h"

#include <string>
#include <vector>

// Exit statuses. BATCH_USAGE: the command cannot be carried out as given (bad syntax, values
// out of range, FILE unreadable, DIR unwritable); nothing was written. BATCH_FAILED: a file
// could not be written or memory ran out; the files printed were written.
enum BatchExit {
    BATCH_OK = 0,
    BATCH_FAILED = 1,
    BATCH_USAGE = 2,
};

// The anaglyph file of batch mode: the Preview's, or the least-squares one.
enum AnaglyphKind {
    ANAGLYPH_PLAIN = 0,
    ANAGLYPH_DUBOIS = 1,
};

struct BatchOptions {
    std::string file;               // the file RunBatch works on
    std::vector<std::string> files; // every FILE given, in order
    int offsetX = 0;
    int offsetY = 0;
    int maxDisparity = INITIAL_MAX_DISPARITY;
    bool maxDisparityGiven = false;
    bool autoAlign = false;
    std::string outDir; // empty: the current directory
    SideBySideLayout layout = LAYOUT_PARALLEL;
    bool layoutGiven = false; // else the file's name decides
    bool help = false;
    bool wiggleGif = false; // also B_wiggle.gif
    AnaglyphKind anaglyph = ANAGLYPH_PLAIN;
    int jobs = 0; // files at once; 0: one per core
};

// True when the command line asks for batch mode.
bool IsBatchCommand(int argc, const char* const* argv);

// True when the command line asks for the usage.
bool IsHelpCommand(int argc, const char* const* argv);

// Parses argv[1 ...]. BATCH_OK, or BATCH_USAGE with a one-line reason in message.
int ParseBatchArguments(int argc, const char* const* argv, BatchOptions* options,
                        std::string* message);

// The usage text, one line per form.
const char* BatchUsage();
