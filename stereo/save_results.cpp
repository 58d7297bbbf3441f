// Base name, file names and the side-by-side file of a Save.
#include "stereo/save_results.h"

#include "stereo/overlap.h"

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

SaveNames MakeSaveNames(const char* directory, const char* baseName, int counter) {
    SaveNames names;
    names.directory = directory != nullptr ? directory : "";
    names.base = baseName;
    names.counter = counter;
    const std::filesystem::path dir = names.directory;
    const std::string base = CountedBase(names);
    names.adjusted = (dir / (base + "_adjst.jpg")).string();
    names.right = (dir / (base + "_Right.png")).string();
    names.left = (dir / (base + "_Left.png")).string();
    names.depth = (dir / (base + "_depth.png")).string();
    return names;
}

std::string CountedBase(const SaveNames& names) {
    return names.counter > 1 ? names.base + "_" + std::to_string(names.counter) : names.base;
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
                     int offsetX, int offsetY, const char* path, const ImageWriter& writer,
                     std::string* reason) {
    std::vector<std::uint32_t> pair;
    const int composed = ComposeAdjustedPair(W, H, bufferA, bufferB, offsetX, offsetY, &pair);
    if (composed != SAVE_OK) {
        return composed;
    }
    const Overlap o = ComputeOverlap(W, H, offsetX, offsetY);
    const int width = 2 * o.cols;
    switch (writer.writeColour(path, IMAGE_FILE_JPEG, pair.data(), width, o.rows, width, reason)) {
    case IMAGE_IO_OK:
        return SAVE_OK;
    case IMAGE_IO_EXISTS:
        return SAVE_NAME_TAKEN;
    case IMAGE_IO_NO_MEMORY:
        return SAVE_NO_MEMORY;
    default:
        return SAVE_WRITE_FAILED;
    }
}

int WriteDepthFiles(const DepthPass& pass, SaveNames* names, const ImageWriter& writer,
                    unsigned* written, std::string* reasons, const std::atomic<bool>* cancel) {
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
    bool cancelled = false;
    auto goOn = [&] {
        cancelled = cancelled || (cancel != nullptr && cancel->load());
        return !cancelled;
    };
    auto colour = [&](std::string SaveNames::*file, const std::uint32_t* view, unsigned bit,
                      int index) {
        if (!goOn()) {
            return;
        }
        std::string* reason = reasons != nullptr ? &reasons[index] : nullptr;
        const int result = WriteUnderFreeName(names, file, [&](const char* path) {
            return writer.writeColour(path, IMAGE_FILE_PNG, view, o.cols, o.rows, pass.W, reason);
        });
        if (result == IMAGE_IO_OK) {
            bits |= bit;
        } else {
            failed = true;
        }
    };
    colour(&SaveNames::right, rightEye, DEPTH_FILE_RIGHT, 0);
    colour(&SaveNames::left, leftEye, DEPTH_FILE_LEFT, 1);
    if (pass.status == DEPTH_DONE && goOn()) {
        std::string* reason = reasons != nullptr ? &reasons[2] : nullptr;
        const int result = WriteUnderFreeName(names, &SaveNames::depth, [&](const char* path) {
            return writer.writeGrey(path, pass.map.data(), o.cols, o.rows, o.cols, reason);
        });
        if (result == IMAGE_IO_OK) {
            bits |= DEPTH_FILE_MAP;
        } else {
            failed = true;
        }
    }
    if (written != nullptr) {
        *written = bits;
    }
    return failed ? SAVE_WRITE_FAILED : cancelled ? SAVE_CANCELLED : SAVE_OK;
}
