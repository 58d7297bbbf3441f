// Clearing a whole image window buffer.
#include "imageops/drawing.h"

#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"

#include <cstring>

void QIV_ClearImage(int n) {
    if (!IsImageWindowInUse(n)) {
        return;
    }
    const ImageWindowRecord& record = qiv_image[n];
    void* pixels = nullptr;
    if (record.bits == 32) {
        pixels = qiv_pixels32[n];
    } else if (record.bits == 8) {
        pixels = qiv_pixels8[n];
    }
    if (pixels == nullptr) {
        return;
    }
    std::memset(pixels, 0, ImageBufferBytes(record.bits, record.width, record.height));
}
