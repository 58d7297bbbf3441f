// Saving the result of an alignment: the time-stamp base name, the file names, and the
// side-by-side file of the aligned pair. The view and map files come from a depth pass run
// for saving (WriteDepthFiles).
#pragma once

#include "stereo/depth_pass.h"
#include "stereo/image_io.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// Room for a base name, as the application keeps it.
constexpr std::size_t BASE_NAME_SIZE = 256;

// Formats localTime as "%y%m%d_%H_%M_%S" (09:07:03 on 5 July 2024: "240705_09_07_03").
// 0; 1 if it does not fit in size bytes (name is then empty).
int FormatBaseName(const std::tm& localTime, char* name, std::size_t size);

// FormatBaseName of the current local time.
int CurrentBaseName(char* name, std::size_t size);

// The files of one Save, in the order they are written. When a name is taken, the set moves on
// to the base B_2, B_3 ... rather than replace a file.
struct SaveNames {
    std::string directory;
    std::string base;
    int counter = 1;      // 1: the base itself; k > 1: base_k
    std::string adjusted; // B_adjst.jpg: the aligned pair side by side, halves as in the source
    std::string right;    // B_Right.png: the aligned right eye
    std::string left;     // B_Left.png: the aligned left eye
    std::string depth;    // B_depth.png: the disparity map
};

// The names for baseName in directory; an empty directory means the current one.
SaveNames MakeSaveNames(const char* directory, const char* baseName, int counter = 1);

// The base the names are made of now: "B", or "B_2" after a move.
std::string CountedBase(const SaveNames& names);

// Calls write with the file's name in *names (file: a SaveNames member, or a function of the
// names giving the path) and, while the name is taken (IMAGE_IO_EXISTS), moves *names to the
// next counter and calls it again. The write's last result.
template <typename File, typename Write>
int WriteUnderFreeName(SaveNames* names, File file, Write write) {
    constexpr int MAX_COUNTER = 10000;
    int result = write(std::string(std::invoke(file, *names)).c_str());
    while (result == IMAGE_IO_EXISTS && names->counter < MAX_COUNTER) {
        *names = MakeSaveNames(names->directory.c_str(), names->base.c_str(), names->counter + 1);
        result = write(std::string(std::invoke(file, *names)).c_str());
    }
    return result;
}

enum SaveResult {
    SAVE_OK = 0,
    SAVE_NO_OVERLAP = 1,   // nothing to write: the views do not overlap
    SAVE_WRITE_FAILED = 2, // the writer failed on at least one file
    SAVE_NO_MEMORY = 3,    // the composed image could not be allocated
    SAVE_NAME_TAKEN = 4,   // the writer found the name taken
    SAVE_CANCELLED = 5,    // called off before every file was begun; those written are whole
};

// The aligned pair side by side: (2 x cols) x rows pixels, aligned view A in the left half and
// aligned view B in the right half. SAVE_OK, or SAVE_NO_OVERLAP / SAVE_NO_MEMORY with pair
// emptied.
int ComposeAdjustedPair(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                        int offsetX, int offsetY, std::vector<std::uint32_t>* pair);

// Composes the aligned pair and writes it to path as JPEG; reason (may be null) receives the
// cause of a failure.
int SaveAdjustedPair(int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB, int W,
                     int offsetX, int offsetY, const char* path, const ImageWriter& writer,
                     std::string* reason = nullptr);

// Bits of the files WriteDepthFiles wrote.
enum DepthFileBits {
    DEPTH_FILE_RIGHT = 1,
    DEPTH_FILE_LEFT = 2,
    DEPTH_FILE_MAP = 4,
};

// Writes the aligned right eye to names->right and the aligned left eye to names->left as PNG,
// whatever swapDepth was, then the map to names->depth when the pass made one, each under a free
// name (WriteUnderFreeName). Every write is attempted; written (may be null) receives the
// DepthFileBits of the files written, and reasons (null, or three strings in the order of the
// files) the cause of each failure. A file not yet begun when *cancel (may be null) turns true
// is not written. SAVE_OK, SAVE_NO_OVERLAP, SAVE_WRITE_FAILED or SAVE_CANCELLED.
int WriteDepthFiles(const DepthPass& pass, SaveNames* names, const ImageWriter& writer,
                    unsigned* written, std::string* reasons = nullptr,
                    const std::atomic<bool>* cancel = nullptr);
