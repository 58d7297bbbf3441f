// Batch mode: the stereo application's computations without a display.
//
//   qivstereo --batch FILE... [--layout parallel|cross] [--offset DX,DY | --auto-align]
//             [--max-disparity N] [--out DIR] [--wiggle-gif] [--anaglyph plain|dubois]
//             [--jobs N]
//
// splits each side-by-side image FILE into its eyes (parallel: left eye in the left half, the
// default; cross: right eye in the left half, the default for .jps), aligns its views at the
// offset (default 0,0), composes the anaglyph (the least-squares one with --anaglyph dubois),
// runs a depth pass with maxDisparity N (default 100) and the "default2" parameters, and writes
// B_adjst.jpg, B_Right.png, B_Left.png, B_depth.png, B_anaglyph.png and with --wiggle-gif
// B_wiggle.gif into DIR (default: the current directory), B being the FILE's stem, printing
// each path. A pair too small for the depth pass gets the other files and a message why the map
// is missing. --auto-align first aligns the right eye to the left and takes the offsets,
// maxDisparity (unless given) and swap_depth from the alignment, printing its summary; a pair it
// refuses writes nothing.
#pragma once

#include "stereo/depth_pass.h"
#include "stereo/eyes.h"
#include "stereo/image_io.h"

#include <cstdio>
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

// How batch mode reaches files and the matcher.
struct BatchServices {
    ImageReader read;
    ImageWriter writer;
    StereoFunction stereo;
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

// Carries out parsed options, naming the files after baseName. Paths written go to out, one a
// line; messages go to err. Returns a BatchExit.
int RunBatch(const BatchOptions& options, const BatchServices& services, const char* baseName,
             std::FILE* out, std::FILE* err);

// Runs every file of options.files, up to options.jobs at once, each under its own stem (two
// inputs of one stem get distinct names); a progress line per file and its messages go to err,
// the paths written to out. With one file its BatchExit; with several the number that failed
// (at most 125).
int RunBatchFiles(const BatchOptions& options, const BatchServices& services, std::FILE* out,
                  std::FILE* err);

// The base names of the files' outputs: each file's stem; a stem already taken by an earlier
// file gets its extension appended ("photo_mpo"), then a counter ("photo_2").
std::vector<std::string> BatchBaseNames(const std::vector<std::string>& files);

// Parse and run.
int BatchMain(int argc, const char* const* argv, const BatchServices& services, std::FILE* out,
              std::FILE* err);

// The services of the real program: image files and the disparity matcher.
BatchServices DefaultBatchServices();
