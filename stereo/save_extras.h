// The files a Save writes beyond the aligned pair, views and map: the wiggle animation as a GIF
// (B_wiggle.gif) and the least-squares anaglyph (B_dubois.png), named after the set's base.
#pragma once

#include "stereo/image_io.h"
#include "stereo/save_results.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

// Writes one more file of the set: CountedBase(names) + suffix in its directory, moving to the
// next counter's name while the name is taken. *path receives the name last tried.
template <typename Write>
int WriteSetFile(const SaveNames& names, const char* suffix, Write write, std::string* path) {
    SaveNames at = names;
    return WriteUnderFreeName(
        &at,
        [&](const SaveNames& n) {
            *path = (std::filesystem::path(n.directory) / (CountedBase(n) + suffix)).string();
            return *path;
        },
        write);
}

// The aligned eyes (W x H each) at the eyes' offset.
struct AlignedEyes {
    int W;
    int H;
    const std::uint32_t* left;
    const std::uint32_t* right;
    int offsetX;
    int offsetY;
};

// B_wiggle.gif of the set. An ImageIoResult; *path the name, *reason the cause of a failure.
int SaveWiggleGif(const SaveNames& names, const AlignedEyes& eyes, std::string* path,
                  std::string* reason);

// B_dubois.png of the set through writer, cropped to the overlap.
int SaveDuboisAnaglyph(const SaveNames& names, const AlignedEyes& eyes, const ImageWriter& writer,
                       std::string* path, std::string* reason);

// The set's wiggle GIF and least-squares anaglyph, in that order. A file not yet begun when
// *cancel (may be null) turns true is not written and sets cancelled.
struct ExtrasOutcome {
    int tried = 0;
    int written = 0;
    std::string failure; // the first file not written: its name and why
    bool cancelled = false;
};
ExtrasOutcome SaveExtraFiles(const SaveNames& names, const AlignedEyes& eyes,
                             const ImageWriter& writer, const std::atomic<bool>* cancel = nullptr);
