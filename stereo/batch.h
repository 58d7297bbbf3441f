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

#include "stereo/batch_args.h"
#include "stereo/depth_pass.h"
#include "stereo/image_io.h"

#include <cstdio>
#include <string>
#include <vector>

// How batch mode reaches files and the matcher.
struct BatchServices {
    ImageReader read;
    ImageWriter writer;
    StereoFunction stereo;
};

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
