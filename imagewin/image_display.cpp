// How an image window shows its buffer: refresh, zoom, stretch mode, caption and palette.
#include "imagewin/image_caption.h"
#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/snapping.h"

#include <algorithm>

namespace {

constexpr int COLOR_TABLE_ENTRIES = 256;

bool IsCurrentEightBit(int* result) {
    if (!IsImageWindowInUse(qiv_target)) {
        *result = 1;
        return false;
    }
    if (qiv_image[qiv_target].bits != 8) {
        *result = 2;
        return false;
    }
    return true;
}

} // namespace

int QIV_UpdateImage(int n) {
    if (!IsImageWindowInUse(n)) {
        return 1;
    }
    const ImageWindowRecord& record = qiv_image[n];
    if (record.zoom == 100) {
        BitBlt(record.windowDC, 0, 0, record.width, record.height, record.memDC, 0, 0, SRCCOPY);
    } else {
        StretchBlt(record.windowDC, 0, 0, record.zoomWidth, record.zoomHeight, record.memDC, 0, 0,
                   record.width, record.height, SRCCOPY);
    }
    return 0;
}

int QIV_SetZoom(int n, int zoom) {
    if (!IsImageWindowInUse(n)) {
        return 1;
    }
    ImageWindowRecord& record = qiv_image[n];
    // Marked free while the window is resized, so that the messages this sends find no record.
    record.inUse = 0;
    ZoomFit fit{};
    if (FitZoom(record.width, record.height, zoom, GetImageSizeLimits(record.limitMode), &fit) !=
        0) {
        record.inUse = 1;
        return 2;
    }
    record.zoom = fit.zoom;
    RECT outer{};
    GetWindowRect(record.hwnd, &outer);
    SetWindowPos(record.hwnd, nullptr, 0, 0,
                 outer.right - outer.left + fit.zoomWidth - record.zoomWidth,
                 outer.bottom - outer.top + fit.zoomHeight - record.zoomHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    record.zoomWidth = fit.zoomWidth;
    record.zoomHeight = fit.zoomHeight;
    record.inUse = 1;
    InvalidateRect(record.hwnd, nullptr, FALSE);
    RefreshImageTitle(n);
    RebuildSnapTargets();
    return 0;
}

int QIV_GetStretchMode(int n) {
    if (!IsImageWindowInUse(n)) {
        return 0;
    }
    return GetStretchBltMode(qiv_image[n].windowDC);
}

int QIV_SetStretchMode(int n, int mode) {
    if (!IsImageWindowInUse(n)) {
        return 1;
    }
    const ImageWindowRecord& record = qiv_image[n];
    if (mode == COLORONCOLOR || mode == HALFTONE) {
        for (HDC hdc : {record.windowDC, record.memDC}) {
            SetStretchBltMode(hdc, mode);
            SetBrushOrgEx(hdc, 0, 0, nullptr);
        }
    }
    InvalidateRect(record.hwnd, nullptr, FALSE);
    RefreshImageTitle(n);
    return 0;
}

void RefreshImageTitle(int n) {
    if (!IsImageWindowInUse(n)) {
        return;
    }
    const ImageWindowRecord& record = qiv_image[n];
    char caption[IMAGE_CAPTION_BYTES];
    FormatImageCaption(caption, record.title, record.zoom, record.bits,
                       GetStretchBltMode(record.memDC));
    QIV_SetWindowText(record.hwnd, caption);
}

int QIV_SetPalette(const RGBQUAD* colors, int count) {
    int result = 0;
    if (!IsCurrentEightBit(&result)) {
        return result;
    }
    const ImageWindowRecord& record = qiv_image[qiv_target];
    count = std::clamp(count, 0, COLOR_TABLE_ENTRIES);
    if (colors != nullptr && count > 0) {
        SetDIBColorTable(record.memDC, 0, static_cast<UINT>(count), colors);
    }
    InvalidateRect(record.hwnd, nullptr, FALSE);
    return 0;
}

int QIV_GetPalette(RGBQUAD* colors) {
    int result = 0;
    if (!IsCurrentEightBit(&result)) {
        return result;
    }
    if (colors != nullptr) {
        GetDIBColorTable(qiv_image[qiv_target].memDC, 0, COLOR_TABLE_ENTRIES, colors);
    }
    return 0;
}
