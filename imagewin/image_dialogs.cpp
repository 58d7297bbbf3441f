// The open and save dialogs for image files, and "Save as" by the filter chosen.
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "runtime/text_convert.h"

#include <cstring>
#include <filesystem>
#include <string>

namespace {

// (description, pattern) pairs, each ended by a terminator, the list by a second one.
const WCHAR OPEN_FILTERS[] = L"All Files (*.*)\0*.*\0"
                             L"BMP (*.BMP;*.RLE;*.DIB)\0*.BMP;*.RLE;*.DIB\0"
                             L"JPEG (*.JPG;*.JPEG;*.JPE)\0*.JPG;*.JPEG;*.JPE\0"
                             L"CompuServe GIF (*.GIF)\0*.GIF\0"
                             L"PNG (*.PNG)\0*.PNG\0"
                             L"TIFF (*.TIF;*.TIFF)\0*.TIF;*.TIFF\0"
                             L"ICO (*.ICO)\0*.ICO\0"
                             L"Stereo MPO, JPS (*.MPO;*.JPS)\0*.MPO;*.JPS\0";
const WCHAR SAVE_FILTERS[] = L"All Files (*.*)\0*.*\0"
                             L"BMP (*.BMP;*.RLE;*.DIB)\0*.BMP;*.RLE;*.DIB\0"
                             L"JPEG (*.JPG;*.JPEG;*.JPE)\0*.JPG;*.JPEG;*.JPE\0"
                             L"CompuServe GIF (*.GIF)\0*.GIF\0"
                             L"PNG (*.PNG)\0*.PNG\0"
                             L"TIFF (*.TIF;*.TIFF)\0*.TIF;*.TIFF\0";

// The pattern of filter index (1-based) in a filter list; empty past its end.
const WCHAR* FilterPattern(const WCHAR* filters, int index) {
    for (int i = 1; *filters != 0; ++i) {
        const WCHAR* pattern = filters + std::wcslen(filters) + 1;
        if (i == index) {
            return pattern;
        }
        filters = pattern + std::wcslen(pattern) + 1;
    }
    return L"";
}

// The folder of a chosen file, in full form with its trailing separator.
void RememberFolder(const char* chosen, char* folder) {
    std::error_code error;
    std::string full = std::filesystem::absolute(std::filesystem::path(chosen), error).string();
    if (error) {
        return;
    }
    full.erase(full.find_last_of('/') + 1);
    if (full.size() < QIV_PATH_SIZE) {
        std::memcpy(folder, full.c_str(), full.size() + 1);
    }
}

int Ask(bool save, char* path) {
    WCHAR file[QIV_PATH_SIZE] = {};
    WCHAR initialDir[QIV_PATH_SIZE] = {};
    Utf8ToWideIfFits(save ? lastSaveDir : lastLoadDir, initialDir, QIV_PATH_SIZE);
    int& filterIndex = save ? saveFilterIndex : openFilterIndex;
    const WCHAR* filters = save ? SAVE_FILTERS : OPEN_FILTERS;
    const WCHAR* start = save ? L"noname" : FilterPattern(filters, filterIndex);
    std::wcsncpy(file, start, QIV_PATH_SIZE - 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = nullptr;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
    ofn.lpstrFile = file;
    ofn.nMaxFile = QIV_PATH_SIZE;
    ofn.lpstrInitialDir = initialDir;
    ofn.lpstrTitle = save ? L"Save as" : L"Load image file";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                     : OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    char narrow[QIV_PATH_SIZE];
    // A path that does not fit the caller's buffer counts as cancelled, not as a cut name.
    if (!chosen || !WideToUtf8IfFits(file, narrow, QIV_PATH_SIZE)) {
        return 1;
    }
    std::memcpy(path, narrow, std::strlen(narrow) + 1);
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    RememberFolder(narrow, save ? lastSaveDir : lastLoadDir);
    return 0;
}

} // namespace

int AskOpenImageFile(char* path) {
    return Ask(false, path);
}

int AskSaveImageFile(char* path) {
    return Ask(true, path);
}

int SaveImageByFilter(int filterIndex, const char* path) {
    if (!IsImageWindowInUse(qiv_target)) {
        return 3;
    }
    const ImageWindowRecord& record = qiv_image[qiv_target];
    switch (filterIndex) {
    case 3: {
        const int previous = jpegQuality;
        jpegQuality = 100;
        const int result = QIV_SaveImage(record.width, record.height, 1, path);
        jpegQuality = previous;
        return result;
    }
    case 4:
        return QIV_SaveImage(record.width, record.height, 2, path);
    case 5:
        return QIV_SaveImage(record.width, record.height, 3, path);
    case 6:
        return QIV_SaveImage(record.width, record.height, 4, path);
    default:
        return QIV_SaveImage(record.width, record.height, 0, path);
    }
}

int SaveImageAs() {
    char path[QIV_PATH_SIZE];
    if (AskSaveImageFile(path) != 0) {
        return -1;
    }
    return SaveImageByFilter(saveFilterIndex, path);
}
