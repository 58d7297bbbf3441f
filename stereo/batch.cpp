// Batch mode: split, align, anaglyph, depth pass and the five files, without a display.
#include "stereo/batch.h"

#include "stereo/alignment_eyes.h"
#include "stereo/auto_align.h"
#include "stereo/dubois_anaglyph.h"
#include "stereo/overlap.h"
#include "stereo/previews.h"
#include "stereo/save_extras.h"
#include "stereo/save_results.h"
#include "stereo/view_buffers.h"

#include <unistd.h>

#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

namespace {

constexpr const char* PROGRAM = "qivstereo";

int Usage(std::FILE* err, const std::string& text) {
    std::fprintf(err, "%s: %s\n", PROGRAM, text.c_str());
    return BATCH_USAGE;
}

// An existing directory this process may create files in.
bool IsWritableDirectory(const std::string& dir) {
    std::error_code error;
    return std::filesystem::is_directory(dir, error) && access(dir.c_str(), W_OK | X_OK) == 0;
}

// The checks that need the image, before anything is written.
int CheckAlignment(const BatchOptions& options, int W, int H, std::FILE* err) {
    const Overlap o = ComputeOverlap(W, H, options.offsetX, options.offsetY);
    const std::string views = std::to_string(W) + " x " + std::to_string(H) + " views";
    if (IsEmptyOverlap(o)) {
        return Usage(err, "--offset " + std::to_string(options.offsetX) + "," +
                              std::to_string(options.offsetY) +
                              " leaves no overlap between the two " + views);
    }
    // An overlap too small for the depth pass still gets its pair, views and anaglyph; the
    // missing map is reported after them.
    return BATCH_OK;
}

// Aligns the right eye in place and takes the offsets, the range (unless given) and swap_depth
// from the alignment. BATCH_USAGE when it refuses the pair: nothing is written then.
int AutoAlignViews(std::uint32_t* viewA, std::uint32_t* viewB, int W, int H, BatchOptions* options,
                   int* swapDepth, std::FILE* err) {
    const AlignmentEyes eyes = EyesOfViews(viewA, viewB, options->layout);
    AutoAlignResult result;
    AutoAlign(eyes.leftEye, eyes.rightEye, W, H, &result);
    char summary[256];
    AutoAlignSummary(result, summary, sizeof summary);
    std::fprintf(err, "%s: %s\n", PROGRAM, summary);
    if (result.status != AUTO_ALIGN_OK) {
        return BATCH_USAGE;
    }
    ViewOffsets(eyes, result.offsetX, result.offsetY, &options->offsetX, &options->offsetY);
    if (!options->maxDisparityGiven) {
        options->maxDisparity = result.maxDisparity;
    }
    *swapDepth = AUTO_ALIGN_SWAP_DEPTH;
    return BATCH_OK;
}

struct Outcome {
    std::FILE* out;
    std::FILE* err;
    int status = BATCH_OK;

    void Written(const std::string& path) const { std::fprintf(out, "%s\n", path.c_str()); }
    void Failed(const std::string& text) {
        std::fprintf(err, "%s: %s\n", PROGRAM, text.c_str());
        status = BATCH_FAILED;
    }
    void NotWritten(const std::string& path, const std::string& reason) {
        Failed("cannot write '" + path + "'" + (reason.empty() ? "" : ": " + reason));
    }
};

int Run(BatchOptions options, const BatchServices& services, const char* baseName, std::FILE* out,
        std::FILE* err) {
    const std::string dir = options.outDir.empty() ? std::string(".") : options.outDir;
    if (!IsWritableDirectory(dir)) {
        return Usage(err, "cannot write into '" + dir + "': not a writable directory");
    }
    PixelImage source;
    std::string reason;
    const int read = services.read(options.file.c_str(), &source, &reason);
    if (read == IMAGE_IO_NO_MEMORY) {
        std::fprintf(err, "%s: not enough memory to read '%s'\n", PROGRAM, options.file.c_str());
        return BATCH_FAILED;
    }
    if (read != IMAGE_IO_OK) {
        return Usage(err, "cannot read '" + options.file + "' as an image: " + reason);
    }
    if (!reason.empty()) {
        std::fprintf(err, "%s: warning: '%s' is damaged (%s); going on with what it holds\n",
                     PROGRAM, options.file.c_str(), reason.c_str());
    }
    if (source.width < 2 || source.height < 1) {
        return Usage(err, "'" + options.file + "' is " + std::to_string(source.width) +
                              " pixel wide; a side-by-side pair needs at least 2");
    }
    const int W = source.width / 2;
    const int H = source.height;
    if (!options.autoAlign) {
        if (const int checked = CheckAlignment(options, W, H, err); checked != BATCH_OK) {
            return checked;
        }
    }

    const std::size_t viewPixels = static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
    std::vector<std::uint32_t> viewA(viewPixels), viewB(viewPixels), preview(viewPixels);
    SplitSideBySide(source.width, H, source.pixels.data(), viewA.data(), viewB.data());
    source = {};
    int swapDepth = 0;
    if (options.autoAlign) {
        if (int status =
                AutoAlignViews(viewA.data(), viewB.data(), W, H, &options, &swapDepth, err);
            status != BATCH_OK) {
            return status;
        }
        if (const int checked = CheckAlignment(options, W, H, err); checked != BATCH_OK) {
            return checked;
        }
    }
    const EyePair eyes =
        EyesOf(viewA.data(), viewB.data(), options.offsetX, options.offsetY, options.layout);
    if (options.anaglyph == ANAGLYPH_DUBOIS) {
        MakeDuboisAnaglyph(W, H, eyes.left, eyes.right, preview.data(), eyes.offsetX, eyes.offsetY);
    } else {
        MakeAnaglyph(W, H, eyes.left, eyes.right, preview.data(), eyes.offsetX, eyes.offsetY);
    }

    Outcome outcome{out, err};
    SaveNames names = MakeSaveNames(options.outDir.c_str(), baseName);
    std::string reasons[3];
    const int saved = WriteUnderFreeName(&names, &SaveNames::adjusted, [&](const char* path) {
        const int result = SaveAdjustedPair(H, viewA.data(), viewB.data(), W, options.offsetX,
                                            options.offsetY, path, services.writer, &reasons[0]);
        return result == SAVE_NAME_TAKEN ? IMAGE_IO_EXISTS : result;
    });
    if (saved == SAVE_OK) {
        outcome.Written(names.adjusted);
    } else if (saved == SAVE_NO_MEMORY && reasons[0].empty()) {
        outcome.Failed("not enough memory to compose '" + names.adjusted + "'");
    } else {
        outcome.NotWritten(names.adjusted, reasons[0]);
    }

    DepthInput input{eyes.left,    eyes.right,   W,         H,
                     eyes.offsetX, eyes.offsetY, swapDepth, INITIAL_STEREO_PARAMETERS};
    input.parameters.maxDisparity = options.maxDisparity;
    DepthPass pass;
    RunDepthPass(input, services.stereo, &pass);
    unsigned written = 0;
    WriteDepthFiles(pass, &names, services.writer, &written, reasons);
    const std::pair<unsigned, const std::string*> depthFiles[] = {{DEPTH_FILE_RIGHT, &names.right},
                                                                  {DEPTH_FILE_LEFT, &names.left}};
    int index = 0;
    for (const auto& [bit, path] : depthFiles) {
        if (written & bit) {
            outcome.Written(*path);
        } else {
            outcome.NotWritten(*path, reasons[index]);
        }
        ++index;
    }
    if (pass.status == DEPTH_BAD_MAX_DISPARITY) {
        const std::string which =
            options.maxDisparityGiven ? "--max-disparity " : "the default maxDisparity ";
        outcome.Failed("no disparity map: " + which + std::to_string(options.maxDisparity) +
                       " is too large for a " + std::to_string(pass.overlap.cols) +
                       "-pixel-wide overlap (at most " +
                       std::to_string(MaxDisparityLimit(pass.overlap.cols)) + ")");
    } else if (pass.status != DEPTH_DONE) {
        char text[256];
        DepthStatusText(pass, text, sizeof text);
        outcome.Failed(std::string("no disparity map (") + text + ")");
    } else if (written & DEPTH_FILE_MAP) {
        outcome.Written(names.depth);
    } else {
        outcome.NotWritten(names.depth, reasons[2]);
    }
    pass = {};

    // The anaglyph as the Preview shows it, cropped to the overlap like the other files, under
    // the base the other files took.
    const Overlap o = ComputeOverlap(W, H, options.offsetX, options.offsetY);
    std::string anaglyph;
    std::string anaglyphReason;
    const int result = WriteSetFile(
        names, "_anaglyph.png",
        [&](const char* path) {
            return services.writer.writeColour(path, IMAGE_FILE_PNG, preview.data(), o.cols, o.rows,
                                               W, &anaglyphReason);
        },
        &anaglyph);
    if (result == IMAGE_IO_OK) {
        outcome.Written(anaglyph);
    } else {
        outcome.NotWritten(anaglyph, anaglyphReason);
    }
    if (options.wiggleGif) {
        std::string gif, gifReason;
        const AlignedEyes aligned{W, H, eyes.left, eyes.right, eyes.offsetX, eyes.offsetY};
        if (SaveWiggleGif(names, aligned, &gif, &gifReason) == IMAGE_IO_OK) {
            outcome.Written(gif);
        } else {
            outcome.NotWritten(gif, gifReason);
        }
    }
    return outcome.status;
}

} // namespace

int RunBatch(const BatchOptions& options, const BatchServices& services, const char* baseName,
             std::FILE* out, std::FILE* err) {
    try {
        return Run(options, services, baseName, out, err);
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "%s: not enough memory for '%s'\n", PROGRAM, options.file.c_str());
        return BATCH_FAILED;
    }
}

int BatchMain(int argc, const char* const* argv, const BatchServices& services, std::FILE* out,
              std::FILE* err) {
    BatchOptions options;
    std::string message;
    if (ParseBatchArguments(argc, argv, &options, &message) != BATCH_OK) {
        std::fprintf(err, "%s: %s\n%s", PROGRAM, message.c_str(), BatchUsage());
        return BATCH_USAGE;
    }
    if (options.help) {
        std::fputs(BatchUsage(), out);
        return BATCH_OK;
    }
    return RunBatchFiles(options, services, out, err);
}
