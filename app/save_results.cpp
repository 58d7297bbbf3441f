// Base name, file names and the side-by-side file of a Save.
#include "app/save_results.h"

#include "app/overlap.h"

#include <filesystem>
#include <new>

int FormatBaseName(const std::tm& localTime, char* name, std::size_t size) {
    if (size == 0) {
        return 1;
    }
    if (std::strftime(name, size, "%y%m%d_%H_%M_%S", &localTime) == 0) {
        name[0] = '\0';
        return 1;
    }
    return 0;
}

int CurrentBaseName(char* name, std::size_t size) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        if (size > 0) {
            name[0] = '\0';
        }
        return 1;
    }
    return FormatBaseName(local, name, size);
}

SaveNames MakeSaveNames(const char* directory, const char* baseName) {
    const std::filesystem::path dir = directory != nullptr ? directory : "";
    const std::string base = baseName;
    SaveNames names;
    names.adjusted = (dir / (base + "_adjst.jpg")).string();
    names.right = (dir / (base + "_Right.png")).string();
    names.left = (dir / (base + "_Left.png")).string();
    names.depth = (dir / (base + "_depth.png")).string();
    return names;
}

int ComposeAdjustedPair(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                        int offsetX, int offsetY, std::vector<std::uint32_t>* pair) {
    pair->clear();
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    if (IsEmptyOverlap(o) || bufferA == nullptr || bufferB == nullptr) {
        return SAVE_NO_OVERLAP;
    }
    const std::size_t stride = 2 * static_cast<std::size_t>(o.cols);
    try {
        pair->assign(stride * static_cast<std::size_t>(o.rows), 0);
    } catch (const std::bad_alloc&) {
        *pair = {};
        return SAVE_NO_MEMORY;
    }
    CopyOverlap(bufferA, W, o.ax, o.ay, o, pair->data(), stride);
    CopyOverlap(bufferB, W, o.bx, o.by, o, pair->data() + o.cols, stride);
    return SAVE_OK;
}

int SaveAdjustedPair(int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB, int W,
                     int offsetX, int offsetY, const char* path, const ImageWriter& writer) {
    std::vector<std::uint32_t> pair;
    const int composed = ComposeAdjustedPair(W, H, bufferA, bufferB, offsetX, offsetY, &pair);
    if (composed != SAVE_OK) {
        return composed;
    }
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    const int width = 2 * o.cols;
    return writer.writeColour(path, IMAGE_FILE_JPEG, pair.data(), width, o.rows, width) == 0
               ? SAVE_OK
               : SAVE_WRITE_FAILED;
}

int WriteDepthFiles(const DepthPass& pass, const SaveNames& names, const ImageWriter& writer,
                    unsigned* written) {
    unsigned bits = 0;
    if (written != nullptr) {
        *written = 0;
    }
    const std::uint32_t* leftEye = AlignedLeftEye(pass);
    const std::uint32_t* rightEye = AlignedRightEye(pass);
    if (leftEye == nullptr || rightEye == nullptr) {
        return SAVE_NO_OVERLAP;
    }
    const Overlap& o = pass.overlap;
    bool failed = false;
    auto note = [&](int result, unsigned bit) {
        if (result == 0) {
            bits |= bit;
        } else {
            failed = true;
        }
    };
    note(writer.writeColour(names.right.c_str(), IMAGE_FILE_PNG, rightEye, o.cols, o.rows, pass.W),
         DEPTH_FILE_RIGHT);
    note(writer.writeColour(names.left.c_str(), IMAGE_FILE_PNG, leftEye, o.cols, o.rows, pass.W),
         DEPTH_FILE_LEFT);
    if (pass.status == DEPTH_DONE) {
        note(writer.writeGrey(names.depth.c_str(), pass.map.data(), o.cols, o.rows, o.cols),
             DEPTH_FILE_MAP);
    }
    if (written != nullptr) {
        *written = bits;
    }
    return failed ? SAVE_WRITE_FAILED : SAVE_OK;
}
