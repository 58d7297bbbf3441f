// Pictures brought to the main window: dropped files, files named on the command line and
// Paste, each opened in a new image window by the worker through requests.
#include "imagewin/image_files.h"
#include "imagewin/image_open_files.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/main_commands.h"
#include "runtime/text_convert.h"
#include "runtime/worker.h"

#include <vector>

namespace {

bool Exiting() {
    return ExitState.load() != 0;
}

const ImageRequests MAIN_WINDOW_REQUESTS = {
    RequestCreateImage,  RequestLoadImage, RequestUpdateImage, RequestPasteBitmap,
    RequestRestoreImage, Exiting,          QIV_SetStatus};

} // namespace

void DroppedFiles(HDROP drop) {
    // The worker stops accepting drops while the user program runs; one already on its way
    // is dropped here.
    if (Running.load() != 0) {
        DragFinish(drop);
        return;
    }
    DropFilesOnMainWindow(drop, MAIN_WINDOW_REQUESTS);
}

void PasteCommand() {
    if (Running.load() != 0) {
        return;
    }
    PasteOnMainWindow(MAIN_WINDOW_REQUESTS);
}

void OpenImageCommand() {
    if (Running.load() != 0) {
        return;
    }
    std::vector<char> path(QIV_LONG_PATH);
    std::vector<wchar_t> wide(QIV_LONG_PATH);
    if (AskOpenImagePath(path.data(), QIV_LONG_PATH) != 0 ||
        !Utf8ToWideIfFits(path.data(), wide.data(), QIV_LONG_PATH)) {
        return;
    }
    OpenImageFiles({std::wstring(wide.data())}, MAIN_WINDOW_REQUESTS);
}

void OpenFilesOfCommandLine() {
    OpenCommandLineFiles(MAIN_WINDOW_REQUESTS);
}
