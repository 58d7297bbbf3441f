#include "imagewin/image_open_files.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "photoio/photo_io.h"
#include "runtime/text_convert.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

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

// A file that opens no window: on standard error with the program's name when one is given,
// else on the requester's status line by its bare name.
void Report(const char* program, const ImageRequests& requests, const std::wstring& path,
            const std::string& name, const char* reason) {
    if (program != nullptr) {
        std::vector<char> narrow(4 * path.size() + 1);
        WideToUtf8IfFits(path.c_str(), narrow.data(), static_cast<int>(narrow.size()));
        std::fprintf(stderr, "%s: cannot open %s: %s\n", program, narrow.data(), reason);
    } else if (requests.report != nullptr) {
        requests.report((name + ": " + reason).c_str());
    }
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
        std::vector<char> given8(4 * given.size() + 1);
        std::error_code error;
        std::filesystem::path full;
        if (WideToUtf8IfFits(given.c_str(), given8.data(), static_cast<int>(given8.size()))) {
            full = std::filesystem::absolute(std::filesystem::path(given8.data()), error);
        }
        const std::string fullPath = full.string();
        const std::string name = full.filename().string();
        std::vector<WCHAR> widePath(QIV_LONG_PATH);
        UINT width = 0;
        UINT height = 0;
        const char* reason = NOT_AN_IMAGE;
        const std::filesystem::file_status status = std::filesystem::status(full, error);
        if (!std::filesystem::exists(status)) {
            reason = "no such file";
        } else if (!std::filesystem::is_regular_file(status)) {
            reason = "not a file";
        } else if (fullPath.size() >= QIV_LONG_PATH) {
            reason = "the full path is longer than the system takes";
        } else if (!error && !name.empty() &&
                   Utf8ToWideIfFits(fullPath.c_str(), widePath.data(), QIV_LONG_PATH)) {
            PictureSize(widePath.data(), &width, &height);
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
            Report(reportTo, requests, given, name, reason);
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
                char text[96];
                std::snprintf(text, sizeof(text),
                              result == 2 ? "%u x %u pixels do not fit the screen"
                                          : "no image window could be made for %u x %u pixels",
                              width, height);
                Report(reportTo, requests, given, name, text);
                break; // this file gives up; the next one goes on from here
            }
        }
    }
    return opened;
}

std::wstring DroppedFileName(HDROP drop, UINT i) {
    std::vector<WCHAR> name(QIV_LONG_PATH);
    if (DragQueryFileW(drop, i, nullptr, 0) >= QIV_LONG_PATH ||
        DragQueryFileW(drop, i, name.data(), QIV_LONG_PATH) == 0) {
        return {};
    }
    return name.data();
}

void DropFilesOnMainWindow(HDROP drop, const ImageRequests& requests) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name = DroppedFileName(drop, i);
        if (!name.empty()) {
            paths.push_back(std::move(name));
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
    std::vector<char> argument0(4 * QIV_LONG_PATH);
    if (count > 0 &&
        WideToUtf8IfFits(args[0], argument0.data(), static_cast<int>(argument0.size()))) {
        const std::string name = std::filesystem::path(argument0.data()).filename().string();
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
    int result = 1;
    for (int k = 0; k < QIV_IMAGE_WINDOWS && result == 1 && !Exiting(requests); ++k) {
        char title[16];
        std::snprintf(title, sizeof(title), "%03d", k);
        result = requests.createImage(k, title, info.bmWidth, info.bmHeight, 32);
        if (result == 0) {
            requests.pasteBitmap(bitmap);
            requests.updateImage(k);
            requests.restoreImage();
            return;
        }
    }
    DeleteObject(bitmap);
    if (requests.report != nullptr && !Exiting(requests)) {
        // Any other number would be refused for the same reason: the loop stops at the first.
        char text[96];
        if (result == 1) {
            std::snprintf(text, sizeof(text), "Paste: no free image window");
        } else if (result == 2) {
            std::snprintf(text, sizeof(text), "Paste: %ld x %ld pixels do not fit the screen",
                          static_cast<long>(info.bmWidth), static_cast<long>(info.bmHeight));
        } else {
            std::snprintf(text, sizeof(text), "Paste: no window for %ld x %ld pixels",
                          static_cast<long>(info.bmWidth), static_cast<long>(info.bmHeight));
        }
        requests.report(text);
    }
}
