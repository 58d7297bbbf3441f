// Which of the application's two views is which eye, for the automatic alignment, which works
// in eye terms and resamples the right eye's view in place.
#pragma once

#include "stereo/eyes.h"

#include <cstdint>

struct AlignmentEyes {
    std::uint32_t* leftEye;
    std::uint32_t* rightEye;
    bool leftEyeIsViewA;
};

inline AlignmentEyes EyesOfViews(std::uint32_t* viewA, std::uint32_t* viewB,
                                 SideBySideLayout layout) {
    if (layout == LAYOUT_CROSS) {
        return {viewB, viewA, false};
    }
    return {viewA, viewB, true};
}

// The overlap rule's offsets of views A and B for offsets given with the left eye in view A's
// place: the same when it is there, mirrored when the left eye is view B.
inline void ViewOffsets(const AlignmentEyes& eyes, int eyeOffsetX, int eyeOffsetY, int* offsetX,
                        int* offsetY) {
    *offsetX = eyes.leftEyeIsViewA ? eyeOffsetX : -eyeOffsetX;
    *offsetY = eyes.leftEyeIsViewA ? eyeOffsetY : -eyeOffsetY;
}
