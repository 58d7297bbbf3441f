#include "imagewin/image_open_files.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "runtime/text_convert.h"

#include <cstdio>
#include <filesystem>

namespace {

// The picture's size read through GDI+; 0 × 0 when it is not a picture.
void PictureSize(const WCHAR* path, UINT* width, UINT* height) {
    *width = 0;
    *height = 0;
    GpImage* picture = nullptr;
    if (GdipLoadImageFromFile(path, &picture) == Ok) {
        GdipGetImageWidth(picture, width);
        GdipGetImageHeight(picture, height);
        GdipDisposeImage(picture);
    }
}

void Report(const char* program, const std::wstring& path) {
    char narrow[4 * QIV_PATH_SIZE];
    if (!WideToUtf8IfFits(path.c_str(), narrow, sizeof(narrow))) {
        std::snprintf(narrow, sizeof(narrow), "(a name too long to show)");
    }
    std::fprintf(stderr, "%s: cannot open %s as an image\n", program, narrow);
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
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(given, error);
        const std::wstring fullPath = full.wstring();
        const std::wstring name = full.filename().wstring();
        char narrowPath[QIV_PATH_SIZE];
        char narrowName[QIV_PATH_SIZE];
        UINT width = 0;
        UINT height = 0;
        if (!error && !name.empty() && fullPath.size() < QIV_PATH_SIZE &&
            WideToUtf8IfFits(fullPath.c_str(), narrowPath, QIV_PATH_SIZE) &&
            WideToUtf8IfFits(name.c_str(), narrowName, QIV_PATH_SIZE)) {
            PictureSize(fullPath.c_str(), &width, &height);
        }
        if (width == 0 || height == 0) {
            if (reportTo != nullptr) {
                Report(reportTo, given);
            }
            continue;
        }
        while (n < QIV_IMAGE_WINDOWS) {
            char title[QIV_PATH_SIZE + 16];
            std::snprintf(title, sizeof(title), "%03d %s", n, narrowName);
            const int result = requests.createImage(n, title, static_cast<int>(width),
                                                    static_cast<int>(height), 32);
            ++n;
            if (result == 0) {
                requests.loadImage(n - 1, narrowPath);
                requests.updateImage(n - 1);
                requests.restoreImage();
                ++opened;
                break;
            }
            if (result != 1) {
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
    if (count > 0) {
        const std::wstring name = std::filesystem::path(args[0]).filename().wstring();
        if (!WideToUtf8IfFits(name.c_str(), program, sizeof(program)) || program[0] == 0) {
            std::snprintf(program, sizeof(program), "qivstereo");
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
