// Quarter turns and scaling of an image window; both re-create the window at its new size.
#include "imagewin/image_commands.h"
#include "imagewin/image_files.h"
#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"

#include <cstdint>
#include <memory>
#include <new>

namespace {

// Fills window n (already W' = h wide, H' = w high) from the packed w × h copy old.
template <typename Pixel>
void FillTurned(const Pixel* old, int w, int h, Pixel* rows, std::size_t stride, bool clockwise) {
    const int newWidth = h;
    const int newHeight = w;
    for (int y = 0; y < newHeight; ++y) {
        Pixel* row = rows + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < newWidth; ++x) {
            const int oldX = clockwise ? y : w - 1 - y;
            const int oldY = clockwise ? h - 1 - x : x;
            row[x] = old[static_cast<std::size_t>(oldY) * w + oldX];
        }
    }
}

} // namespace

int RotateImage(int n, bool clockwise) {
    if (QIV_SelectImage(n) != 0) {
        return 1;
    }
    const int w = qiv_image[n].width;
    const int h = qiv_image[n].height;
    const bool eightBit = qiv_image[n].bits == 8;
    const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow)
                                             std::uint8_t[pixels * (eightBit ? 1 : 4)]);
    if (copy == nullptr) {
        return 1;
    }
    CopyImageRect(copy.get(), 0, 0, w, h);
    const int result = QIV_ResizeImage(n, h, w);
    if (result != 0) {
        return result;
    }
    if (eightBit) {
        FillTurned(copy.get(), w, h, qiv_pixels8[n], static_cast<std::size_t>(ImageStride8(h)),
                   clockwise);
    } else {
        FillTurned(reinterpret_cast<const std::uint32_t*>(copy.get()), w, h, qiv_pixels32[n],
                   static_cast<std::size_t>(h), clockwise);
    }
    InvalidateRect(qiv_image[n].hwnd, nullptr, FALSE);
    return 0;
}

int ScaleImage(int n, int perMille) {
    if (QIV_SelectImage(n) != 0) {
        return 1;
    }
    const int w = qiv_image[n].width;
    const int h = qiv_image[n].height;
    HDC copyDC = CreateCompatibleDC(qiv_image[n].memDC);
    HBITMAP copy = CreateCompatibleBitmap(qiv_image[n].memDC, w, h);
    if (copyDC == nullptr || copy == nullptr) {
        if (copy != nullptr) {
            DeleteObject(copy);
        }
        if (copyDC != nullptr) {
            DeleteDC(copyDC);
        }
        return 1;
    }
    HGDIOBJ old = SelectObject(copyDC, copy);
    BitBlt(copyDC, 0, 0, w, h, qiv_image[n].memDC, 0, 0, SRCCOPY);
    const auto scaled = [perMille](int side) {
        return static_cast<int>((std::int64_t{side} * perMille + 500) / 1000);
    };
    const int newWidth = scaled(w);
    const int newHeight = scaled(h);
    const int result = QIV_ResizeImage(n, newWidth, newHeight);
    if (result == 0) {
        // The new memory DC carries the window's stretch mode: HALFTONE smooths.
        StretchBlt(qiv_image[n].memDC, 0, 0, newWidth, newHeight, copyDC, 0, 0, w, h, SRCCOPY);
        InvalidateRect(qiv_image[n].hwnd, nullptr, FALSE);
    }
    SelectObject(copyDC, old);
    DeleteObject(copy);
    DeleteDC(copyDC);
    return result;
}
