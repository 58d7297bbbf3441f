// Creation, destruction and re-creation of image windows.
#include "imagewin/image_caption.h"
#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"
#include "photoio/photo_limits.h"
#include "platform/win32.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/text_convert.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD IMAGE_WINDOW_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr int DEFAULT_POSITION = -1;
constexpr int COLOR_TABLE_ENTRIES = 256;

// How x and y of -1 are read: the default position (callers), or a real coordinate (a
// window re-created where it stood, which may well be -1).
enum class Placement { MINUS_ONE_IS_DEFAULT, EXACT };

// A DIB header followed by its full colour table, as CreateDIBSection reads it.
struct ImageBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[COLOR_TABLE_ENTRIES];
};

char* CopyTitle(const char* title) {
    const char* text = title != nullptr ? title : "";
    const std::size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text, length + 1);
    }
    return copy;
}

void SetDrawingDefaults(HDC hdc, int stretchMode) {
    SetStretchBltMode(hdc, stretchMode);
    // HALFTONE reads the brush origin; a stale one would shift the filter pattern.
    SetBrushOrgEx(hdc, 0, 0, nullptr);
}

// Undoes the steps of a creation that got as far as a window; the number stays free.
void DiscardHalfMadeWindow(ImageWindowRecord& record) {
    if (record.memDC != nullptr) {
        DeleteDC(record.memDC);
    }
    if (record.windowDC != nullptr) {
        ReleaseDC(record.hwnd, record.windowDC);
    }
    std::free(record.title);
    record.title = nullptr;
    DestroyWindow(record.hwnd);
    record.hwnd = nullptr;
    record.memDC = nullptr;
    record.windowDC = nullptr;
}

int CreateWithLimits(int zoom, int n, const char* title, int x, int y, int width, int height,
                     int bits, int limitMode,
                     Placement placement = Placement::MINUS_ONE_IS_DEFAULT) {
    if (static_cast<unsigned>(n) >= QIV_IMAGE_WINDOWS) {
        return 4;
    }
    ImageWindowRecord& record = qiv_image[n];
    if (record.inUse != 0) {
        return 1;
    }
    if (bits != 8 && bits != 32) {
        return 3;
    }
    // The one size limit of pictures: what is created can be saved in every format and read
    // back.
    if (!PhotoSizeAllowed(std::max(width, 1), std::max(height, 1))) {
        return 2;
    }
    record.bits = bits;
    record.limitMode = limitMode;
    record.width = std::max(width, 1);
    record.height = std::max(height, 1);

    ZoomFit fit{};
    if (FitZoom(record.width, record.height, zoom, GetImageSizeLimits(limitMode), &fit) != 0) {
        return 2;
    }
    record.zoom = fit.zoom;
    record.zoomWidth = fit.zoomWidth;
    record.zoomHeight = fit.zoomHeight;

    RECT outer = {0, 0, record.zoomWidth, record.zoomHeight};
    AdjustWindowRectEx(&outer, IMAGE_WINDOW_STYLE, FALSE, 0);

    record.title = CopyTitle(title);
    record.hwnd = nullptr;
    record.memDC = nullptr;
    record.windowDC = nullptr;
    record.dib = nullptr;
    record.oldBitmap = nullptr;
    if (record.title == nullptr) {
        return 3;
    }
    char caption[IMAGE_CAPTION_BYTES];
    FormatImageCaption(caption, record.title, record.zoom, bits, COLORONCOLOR);
    wchar_t wideCaption[IMAGE_CAPTION_BYTES];
    Utf8ToWide(caption, wideCaption, IMAGE_CAPTION_BYTES);

    const bool byDefault = placement == Placement::MINUS_ONE_IS_DEFAULT;
    record.hwnd = CreateWindowExW(0, L"qiv_iw", wideCaption, IMAGE_WINDOW_STYLE,
                                  byDefault && x == DEFAULT_POSITION ? CW_USEDEFAULT : x,
                                  byDefault && y == DEFAULT_POSITION ? CW_USEDEFAULT : y,
                                  outer.right - outer.left, outer.bottom - outer.top, MainWindow,
                                  nullptr, nullptr, nullptr);
    if (record.hwnd == nullptr) {
        std::free(record.title);
        record.title = nullptr;
        return 3;
    }
    UpdateWindow(record.hwnd);
    SetForegroundWindow(record.hwnd);
    DragAcceptFiles(record.hwnd, TRUE);

    record.windowDC = GetDC(record.hwnd);
    SetDrawingDefaults(record.windowDC, COLORONCOLOR);
    record.memDC = CreateCompatibleDC(record.windowDC);
    SetDrawingDefaults(record.memDC, COLORONCOLOR);

    ImageBitmapInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = record.width;
    info.header.biHeight = -record.height; // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    for (int i = 0; i < COLOR_TABLE_ENTRIES; ++i) {
        const auto grey = static_cast<BYTE>(i);
        info.colors[i] = RGBQUAD{grey, grey, grey, 0};
    }
    void* pixels = nullptr;
    record.dib = CreateDIBSection(record.memDC, reinterpret_cast<const BITMAPINFO*>(&info),
                                  DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (record.dib == nullptr || pixels == nullptr) {
        // A window without a buffer would be an empty frame the user can't use or close
        // through the table, so it goes too.
        if (record.dib != nullptr) {
            DeleteObject(record.dib);
            record.dib = nullptr;
        }
        DiscardHalfMadeWindow(record);
        return 3;
    }
    qiv_pixels32[n] = static_cast<std::uint32_t*>(pixels);
    record.oldBitmap = static_cast<HBITMAP>(SelectObject(record.memDC, record.dib));
    qiv_pixels8[n] = static_cast<std::uint8_t*>(pixels);
    std::memset(pixels, 0, ImageBufferBytes(bits, record.width, record.height));

    record.inUse = 1;
    RebuildSnapTargets();
    QIV_SelectImage(n);
    return 0;
}

} // namespace

ImageSizeLimits GetImageSizeLimits(int limitMode) {
    const ImageSizeMetrics metrics = {
        GetSystemMetrics(SM_CXMIN),    GetSystemMetrics(SM_CYMIN),
        GetSystemMetrics(SM_CXFRAME),  GetSystemMetrics(SM_CYCAPTION),
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
    };
    return ImageSizeLimitsFromMetrics(limitMode, metrics);
}

int CreateImageWindow(int zoom, int n, const char* title, int x, int y, int width, int height,
                      int bits) {
    return CreateWithLimits(zoom, n, title, x, y, width, height, bits, 1);
}

int CreateFreeImageWindow(const char* title, int width, int height, int bits) {
    for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
        if (!IsImageWindowInUse(n)) {
            return CreateImageWindow(100, n, title, 0, 0, width, height, bits) == 0 ? n : -1;
        }
    }
    return -1;
}

int QIV_CreateImage(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return CreateWithLimits(zoom, n, title, x, y, width, height, 32, 1);
}

int QIV_CreateImageFL(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return CreateWithLimits(zoom, n, title, x, y, width, height, 32, 0);
}

int QIV_CreateImage8(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return CreateWithLimits(zoom, n, title, x, y, width, height, 8, 1);
}

int QIV_CreateImage8FL(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return CreateWithLimits(zoom, n, title, x, y, width, height, 8, 0);
}

int QIV_DestroyImage(int n) {
    if (!IsImageWindowInUse(n)) {
        return 1;
    }
    ImageWindowRecord& record = qiv_image[n];
    // Free first: messages the destruction sends must not find a half-dismantled record.
    record.inUse = 0;
    SelectObject(record.memDC, record.oldBitmap);
    DeleteObject(record.dib);
    DeleteDC(record.memDC);
    ReleaseDC(record.hwnd, record.windowDC);
    std::free(record.title);
    DestroyWindow(record.hwnd);
    record.title = nullptr;
    record.dib = nullptr;
    record.oldBitmap = nullptr;
    record.memDC = nullptr;
    record.windowDC = nullptr;
    record.hwnd = nullptr;
    qiv_pixels32[n] = nullptr;
    qiv_pixels8[n] = nullptr;
    return 0;
}

int QIV_ResizeImage(int n, int width, int height) {
    if (!IsImageWindowInUse(n)) {
        return 1;
    }
    if (!PhotoSizeAllowed(std::max(width, 1), std::max(height, 1))) {
        return 2; // refused before the old window goes
    }
    ImageWindowRecord& record = qiv_image[n];
    char title[IMAGE_CAPTION_BYTES] = {};
    if (record.title != nullptr) {
        std::strncpy(title, record.title, sizeof title - 1);
    }
    RECT outer{};
    GetWindowRect(record.hwnd, &outer);
    const int zoom = record.zoom;
    const int bits = record.bits;
    const int stretchMode = GetStretchBltMode(record.windowDC);
    RGBQUAD colors[COLOR_TABLE_ENTRIES] = {};
    if (bits == 8) {
        GetDIBColorTable(record.memDC, 0, COLOR_TABLE_ENTRIES, colors);
    }

    QIV_DestroyImage(n);
    const int result = CreateWithLimits(zoom, n, title, outer.left, outer.top, width, height, bits,
                                        1, Placement::EXACT);
    if (result != 0) {
        return result;
    }
    if (bits == 8) {
        SetDIBColorTable(qiv_image[n].memDC, 0, COLOR_TABLE_ENTRIES, colors);
    }
    QIV_SetStretchMode(n, stretchMode);
    return 0;
}
