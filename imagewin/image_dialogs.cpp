// The open and save dialogs for image files, and "Save as" by the filter chosen.
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "runtime/text_convert.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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
    if (full.size() < QIV_LONG_PATH) {
        std::memcpy(folder, full.c_str(), full.size() + 1);
    }
}

int Ask(bool save, char* path, int size) {
    std::vector<WCHAR> file(QIV_LONG_PATH);
    std::vector<WCHAR> initialDir(QIV_LONG_PATH);
    Utf8ToWideIfFits(save ? lastSaveDir : lastLoadDir, initialDir.data(), QIV_LONG_PATH);
    int& filterIndex = save ? saveFilterIndex : openFilterIndex;
    const WCHAR* filters = save ? SAVE_FILTERS : OPEN_FILTERS;
    const WCHAR* start = save ? L"noname" : FilterPattern(filters, filterIndex);
    std::wcsncpy(file.data(), start, QIV_LONG_PATH - 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = nullptr;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = QIV_LONG_PATH;
    ofn.lpstrInitialDir = initialDir.data();
    ofn.lpstrTitle = save ? L"Save as" : L"Load image file";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                     : OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    std::vector<char> narrow(4 * QIV_LONG_PATH);
    // A path that does not fit the caller's buffer counts as cancelled, not as a cut name.
    if (!chosen || size <= 0 ||
        !WideToUtf8IfFits(file.data(), narrow.data(), static_cast<int>(narrow.size())) ||
        std::strlen(narrow.data()) >= static_cast<std::size_t>(size)) {
        return 1;
    }
    std::memcpy(path, narrow.data(), std::strlen(narrow.data()) + 1);
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    RememberFolder(narrow.data(), save ? lastSaveDir : lastLoadDir);
    return 0;
}

} // namespace

int AskOpenImageFile(char* path) {
    return Ask(false, path, QIV_PATH_SIZE);
}

int AskSaveImageFile(char* path) {
    return Ask(true, path, QIV_PATH_SIZE);
}

int AskOpenImagePath(char* path, int size) {
    return Ask(false, path, size);
}

int AskSaveImagePath(char* path, int size) {
    return Ask(true, path, size);
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
    std::vector<char> path(QIV_LONG_PATH);
    if (AskSaveImagePath(path.data(), QIV_LONG_PATH) != 0) {
        return -1;
    }
    return SaveImageByFilter(saveFilterIndex, path.data());
}
