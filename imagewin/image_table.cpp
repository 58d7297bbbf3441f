// The image window table, the current image window and its history.
#include "imagewin/image_window.h"

ImageWindowRecord qiv_image[QIV_IMAGE_WINDOWS];
std::uint32_t* qiv_pixels32[QIV_IMAGE_WINDOWS];
std::uint8_t* qiv_pixels8[QIV_IMAGE_WINDOWS];
int qiv_target = 0;
int qiv_target_history[QIV_TARGET_HISTORY];

void ResetImageWindowTable() {
    for (ImageWindowRecord& record : qiv_image) {
        record.inUse = 0;
    }
    for (int& slot : qiv_target_history) {
        slot = 0;
    }
}

bool IsImageWindowInUse(int n) {
    // Unsigned comparison so that negative numbers are rejected with the same test.
    return static_cast<unsigned>(n) < QIV_IMAGE_WINDOWS && qiv_image[n].inUse != 0;
}

int FindImageWindow(HWND hwnd) {
    if (hwnd == nullptr) {
        return -1;
    }
    for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
        if (qiv_image[n].inUse != 0 && qiv_image[n].hwnd == hwnd) {
            return n;
        }
    }
    return -1;
}

int QIV_SelectImage(int n) {
    if (!IsImageWindowInUse(n)) {
        return 1;
    }
    for (int slot = QIV_TARGET_HISTORY - 1; slot > 0; --slot) {
        qiv_target_history[slot] = qiv_target_history[slot - 1];
    }
    qiv_target_history[0] = qiv_target;
    qiv_target = n;
    return 0;
}

int QIV_RestoreImage() {
    if (!IsImageWindowInUse(qiv_target_history[0])) {
        return 1;
    }
    qiv_target = qiv_target_history[0];
    // The oldest slot keeps its value, so restoring past the history's depth keeps returning
    // the oldest remembered window.
    for (int slot = 0; slot < QIV_TARGET_HISTORY - 1; ++slot) {
        qiv_target_history[slot] = qiv_target_history[slot + 1];
    }
    return 0;
}

int SelectImageWindowByHandle(HWND hwnd) {
    const int n = FindImageWindow(hwnd);
    QIV_SelectImage(n);
    return n;
}
