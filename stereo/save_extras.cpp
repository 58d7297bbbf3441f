// The wiggle GIF and the least-squares anaglyph of a saved set.
#include "stereo/save_extras.h"

#include "stereo/dubois_anaglyph.h"
#include "stereo/overlap.h"
#include "stereo/wiggle_gif.h"

#include <new>
#include <vector>

int SaveWiggleGif(const SaveNames& names, const AlignedEyes& eyes, std::string* path,
                  std::string* reason) {
    return WriteSetFile(
        names, "_wiggle.gif",
        [&](const char* name) {
            return WriteWiggleGif(name, eyes.W, eyes.H, eyes.left, eyes.right, eyes.offsetX,
                                  eyes.offsetY, reason);
        },
        path);
}

int SaveDuboisAnaglyph(const SaveNames& names, const AlignedEyes& eyes, const ImageWriter& writer,
                       std::string* path, std::string* reason) {
    const Overlap o = ComputeOverlap(eyes.W, eyes.H, eyes.offsetX, eyes.offsetY);
    if (IsEmptyOverlap(o)) {
        *reason = "no pixels to write";
        return IMAGE_IO_WRITE_FAILED;
    }
    std::vector<std::uint32_t> anaglyph;
    try {
        anaglyph.resize(static_cast<std::size_t>(eyes.W) * static_cast<std::size_t>(eyes.H));
    } catch (const std::bad_alloc&) {
        *reason = "not enough memory";
        return IMAGE_IO_NO_MEMORY;
    }
    MakeDuboisAnaglyph(eyes.W, eyes.H, eyes.left, eyes.right, anaglyph.data(), eyes.offsetX,
                       eyes.offsetY);
    return WriteSetFile(
        names, "_dubois.png",
        [&](const char* name) {
            return writer.writeColour(name, IMAGE_FILE_PNG, anaglyph.data(), o.cols, o.rows, eyes.W,
                                      reason);
        },
        path);
}

ExtrasOutcome SaveExtraFiles(const SaveNames& names, const AlignedEyes& eyes,
                             const ImageWriter& writer, const std::atomic<bool>* cancel) {
    ExtrasOutcome outcome;
    auto one = [&](auto save) {
        if (cancel != nullptr && cancel->load()) {
            outcome.cancelled = true;
            return;
        }
        ++outcome.tried;
        std::string path, reason;
        if (save(&path, &reason) == IMAGE_IO_OK) {
            ++outcome.written;
        } else if (outcome.failure.empty()) {
            outcome.failure = path + ": " + reason;
        }
    };
    one([&](std::string* path, std::string* reason) {
        return SaveWiggleGif(names, eyes, path, reason);
    });
    one([&](std::string* path, std::string* reason) {
        return SaveDuboisAnaglyph(names, eyes, writer, path, reason);
    });
    return outcome;
}
