// Image files dropped on the main window open as new image windows "%03d name".
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/subsystem_seams.h"
#include "runtime/text_convert.h"
#include "runtime/worker.h"

#include "imagewin/image_window.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr int PATH_CHARS = 260;

// The full path and the bare file name of a dropped name; false when there is no file name.
bool SplitPath(const wchar_t* name, std::wstring* full, std::wstring* bare) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(name, error);
    if (error || !path.has_filename()) {
        return false;
    }
    *full = path.wstring();
    *bare = path.filename().wstring();
    return full->size() < PATH_CHARS;
}

} // namespace

void DroppedFiles(HDROP drop) {
    // The worker stops accepting drops while the user program runs; one already on its way
    // is dropped here.
    if (Running.load() != 0) {
        DragFinish(drop);
        return;
    }
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    int n = 0;
    for (UINT i = 0; i < count && ExitState.load() == 0; ++i) {
        wchar_t name[PATH_CHARS];
        if (DragQueryFileW(drop, i, name, PATH_CHARS) == 0) {
            continue;
        }
        std::wstring full;
        std::wstring bare;
        if (!SplitPath(name, &full, &bare)) {
            continue;
        }
        unsigned width = 0;
        unsigned height = 0;
        if (!ReadImageFileSize(full.c_str(), &width, &height) || width == 0 || height == 0) {
            continue; // not an image
        }
        char fullNarrow[QIV_PATH_BYTES];
        char bareNarrow[QIV_PATH_BYTES];
        WideToUtf8(full.c_str(), fullNarrow, QIV_PATH_BYTES);
        WideToUtf8(bare.c_str(), bareNarrow, QIV_PATH_BYTES);
        while (n < QIV_IMAGE_WINDOWS) {
            char title[QIV_PATH_BYTES + 16];
            std::snprintf(title, sizeof title, "%03d %s", n, bareNarrow);
            int result =
                RequestCreateImage(n, title, static_cast<int>(width), static_cast<int>(height), 32);
            ++n;
            if (result == 0) {
                RequestLoadImage(n - 1, fullNarrow);
                RequestUpdateImage(n - 1);
                QIV_RestoreImage();
                break;
            }
            if (result != 1) {
                break; // this file cannot be shown; the next one goes on from n
            }
        }
    }
    DragFinish(drop);
}
