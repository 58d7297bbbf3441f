#include "imagewin/image_open_files.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "photoio/photo_io.h"
#include "runtime/text_convert.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr const char* NOT_AN_IMAGE = "not an image this program reads";

// The picture's size read through GDI+; 0 × 0 when it is not a picture.
GpStatus PictureSize(const WCHAR* path, UINT* width, UINT* height) {
    *width = 0;
    *height = 0;
    GpImage* picture = nullptr;
    const GpStatus status = GdipLoadImageFromFile(path, &picture);
    if (status == Ok) {
        GdipGetImageWidth(picture, width);
        GdipGetImageHeight(picture, height);
        GdipDisposeImage(picture);
    }
    return status;
}

void Report(const char* program, const std::wstring& path, const char* reason) {
    char narrow[4 * QIV_PATH_SIZE];
    if (!WideToUtf8IfFits(path.c_str(), narrow, sizeof(narrow))) {
        std::snprintf(narrow, sizeof(narrow), "(a name too long to show)");
    }
    std::fprintf(stderr, "%s: cannot open %s: %s\n", program, narrow, reason);
}

bool Exiting(const ImageRequests& requests) {
    return requests.exiting != nullptr && requests.exiting();
}

} // namespace

int OpenImageFiles(const std::vector<std::wstring>& paths, const ImageRequests& requests,
                   const char* reportTo) {
    int n = 0;
    int opened = 0;
    for (const std::wstring& given : paths) {
        if (Exiting(requests)) {
            break;
        }
        // Paths go through UTF-8: std::filesystem would convert a wide one with the C++
        // locale, which throws on any character outside ASCII.
        char given8[4 * QIV_PATH_SIZE];
        std::error_code error;
        std::filesystem::path full;
        if (WideToUtf8IfFits(given.c_str(), given8, sizeof(given8))) {
            full = std::filesystem::absolute(std::filesystem::path(given8), error);
        }
        const std::string fullPath = full.string();
        const std::string name = full.filename().string();
        WCHAR widePath[QIV_PATH_SIZE];
        UINT width = 0;
        UINT height = 0;
        const char* reason = NOT_AN_IMAGE;
        const std::filesystem::file_status status = std::filesystem::status(full, error);
        if (!std::filesystem::exists(status)) {
            reason = "no such file";
        } else if (!std::filesystem::is_regular_file(status)) {
            reason = "not a file";
        } else if (fullPath.size() >= QIV_PATH_SIZE) {
            reason = "the full path is longer than the 259 bytes image windows take";
        } else if (!error && !name.empty() &&
                   Utf8ToWideIfFits(fullPath.c_str(), widePath, QIV_PATH_SIZE)) {
            PictureSize(widePath, &width, &height);
        }
        std::string explained;
        if ((width == 0 || height == 0) && reason == NOT_AN_IMAGE) {
            // The photo reader shares the loader's rules and says which one the file broke.
            Photo photo;
            std::string detail;
            const int status = ReadPhoto(fullPath.c_str(), &photo, &detail);
            if (status != PHOTO_OK && status != PHOTO_NOT_A_PHOTO) {
                explained = detail.empty() ? PhotoStatusText(status) : detail;
                reason = explained.c_str();
            }
        }
        if (width == 0 || height == 0) {
            if (reportTo != nullptr) {
                Report(reportTo, given, reason);
            }
            continue;
        }
        while (n < QIV_IMAGE_WINDOWS) {
            char title[QIV_PATH_SIZE + 16];
            std::snprintf(title, sizeof(title), "%03d %s", n, name.c_str());
            const int result = requests.createImage(n, title, static_cast<int>(width),
                                                    static_cast<int>(height), 32);
            ++n;
            if (result == 0) {
                requests.loadImage(n - 1, fullPath.c_str());
                requests.updateImage(n - 1);
                requests.restoreImage();
                ++opened;
                break;
            }
            if (result != 1) {
                if (reportTo != nullptr) {
                    char text[96];
                    std::snprintf(text, sizeof(text),
                                  result == 2
                                      ? "%u x %u pixels do not fit an image window on this screen"
                                      : "no image window could be made for %u x %u pixels",
                                  width, height);
                    Report(reportTo, given, text);
                }
                break; // this file gives up; the next one goes on from here
            }
        }
    }
    return opened;
}

void DropFilesOnMainWindow(HDROP drop, const ImageRequests& requests) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        WCHAR name[QIV_PATH_SIZE] = {};
        // A name that does not fit would be cut into another file's name: skip it.
        if (DragQueryFileW(drop, i, nullptr, 0) < QIV_PATH_SIZE &&
            DragQueryFileW(drop, i, name, QIV_PATH_SIZE) > 0) {
            paths.emplace_back(name);
        }
    }
    OpenImageFiles(paths, requests);
    DragFinish(drop);
}

int OpenCommandLineFiles(const ImageRequests& requests) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr) {
        return 0;
    }
    std::vector<std::wstring> paths(args + (count > 0 ? 1 : 0), args + count);
    char program[QIV_PATH_SIZE] = "qivstereo";
    char argument0[4 * QIV_PATH_SIZE];
    if (count > 0 && WideToUtf8IfFits(args[0], argument0, sizeof(argument0))) {
        const std::string name = std::filesystem::path(argument0).filename().string();
        if (!name.empty() && name.size() < sizeof(program)) {
            std::snprintf(program, sizeof(program), "%s", name.c_str());
        }
    }
    LocalFree(args);
    return OpenImageFiles(paths, requests, program);
}

void PasteOnMainWindow(const ImageRequests& requests) {
    std::uint32_t colors[256];
    int count = 0;
    HBITMAP bitmap = ReadClipboardBitmap(colors, &count);
    if (bitmap == nullptr) {
        return;
    }
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    for (int k = 0; k < QIV_IMAGE_WINDOWS && !Exiting(requests); ++k) {
        char title[16];
        std::snprintf(title, sizeof(title), "%03d", k);
        if (requests.createImage(k, title, info.bmWidth, info.bmHeight, 32) == 0) {
            requests.pasteBitmap(bitmap);
            requests.updateImage(k);
            requests.restoreImage();
            return;
        }
    }
    DeleteObject(bitmap);
}
