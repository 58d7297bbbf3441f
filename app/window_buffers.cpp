// Window buffers of the right shape, handed to the stereo core.
#include "app/window_buffers.h"

#include "runtime/qivlib.h"
#include "stereo/previews.h"

std::uint32_t* ViewBuffer32(int n, int width, int height) {
    if (!IsImageWindowInUse(n)) {
        return nullptr;
    }
    const ImageWindowRecord& record = qiv_image[n];
    if (record.bits != 32 || record.width != width || record.height != height) {
        return nullptr;
    }
    return qiv_pixels32[n];
}

int MakeWiggleFrames(int W, int H, const std::uint32_t* leftEye, const std::uint32_t* rightEye,
                     int offsetX, int offsetY) {
    std::uint32_t* frameA = ViewBuffer32(WIGGLE_WINDOW_A, W, H);
    std::uint32_t* frameB = ViewBuffer32(WIGGLE_WINDOW_B, W, H);
    ComposeWiggleFrames(W, H, leftEye, rightEye, frameA, frameB, offsetX, offsetY);
    return frameA != nullptr && frameB != nullptr ? 0 : 1;
}
