// threshold: a QIVLIB program of a few lines. Open a picture (name it on the command line, drop
// it on the main window or paste it) and choose Start: window 1 shows the picture in black and
// white, split at the input box's threshold, and follows every change of it until Stop.
#include "runtime/qivlib.h"

#include <cstdint>

namespace {

constexpr int SOURCE = 0;
constexpr int RESULT = 1;

// Black or white by the pixel's luminance (0.299 R + 0.587 G + 0.114 B).
std::uint32_t Threshold(std::uint32_t pixel, int level) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (299 * r + 587 * g + 114 * b) / 1000 >= level ? 0x00FFFFFFu : 0u;
}

} // namespace

void UserInit() {
    // Below the pictures, which open at the top-left corner.
    QIV_OpenInputBox(20, GetSystemMetrics(SM_CYSCREEN) * 3 / 4, 1);
    QIV_SetInputBoxTitle(0, "threshold");
    QIV_SetInputBoxInt(0, 128);
}

void UserMain() {
    if (!IsImageWindowInUse(SOURCE) || qiv_image[SOURCE].bits != 32) {
        QIV_SetStatus("open a picture first");
        return;
    }
    const int width = qiv_image[SOURCE].width, height = qiv_image[SOURCE].height;
    if (!IsImageWindowInUse(RESULT) &&
        QIV_CreateImage(RESULT, "threshold", 40, 40, width, height, 100) != 0) {
        return;
    }
    int shown = -1;
    do {
        const int level = QIV_GetInputBoxInt(0);
        // Either window may have been closed or reopened with another size meanwhile.
        if (level != shown && IsImageWindowInUse(SOURCE) && IsImageWindowInUse(RESULT) &&
            qiv_image[RESULT].width == width && qiv_image[RESULT].height == height &&
            qiv_image[SOURCE].width == width && qiv_image[SOURCE].height == height) {
            const std::uint32_t* in = qiv_pixels32[SOURCE];
            std::uint32_t* out = qiv_pixels32[RESULT];
            for (long i = 0; i < static_cast<long>(width) * height; ++i) {
                out[i] = Threshold(in[i], level);
            }
            QIV_UpdateImage(RESULT);
            shown = level;
        }
    } while (QIV_Wait(50) == 0);
}
