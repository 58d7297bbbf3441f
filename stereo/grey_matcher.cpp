// The matcher's argument checks and result texts, shared by its OpenCV face and plain callers.
#include "stereo/grey_matcher.h"

#include <algorithm>

namespace stereo {

int CheckMatchArguments(int width, int height, int maxDisparity, const double raw[5],
                        MatchParams* params) {
    if (width < 3 || height < 1) {
        return STEREO_ERR_TOO_SMALL;
    }
    if (maxDisparity < 1 || maxDisparity > std::min(255, width - 1)) {
        return STEREO_ERR_MAX_DISPARITY;
    }
    return ResolveParameters(width, maxDisparity, raw, params);
}

} // namespace stereo

const char* StereoResultText(int result) {
    switch (result) {
    case STEREO_OK:
        return "done";
    case STEREO_ERR_NULL:
        return "an image is missing";
    case STEREO_ERR_TYPE:
        return "the images must be 8-bit single-channel IplImage or CvMat";
    case STEREO_ERR_SIZE:
        return "the left, right and depth images differ in size";
    case STEREO_ERR_TOO_SMALL:
        return "the images must be at least 3 pixels wide and 1 pixel high";
    case STEREO_ERR_MODE:
        return "unknown stereo mode";
    case STEREO_ERR_MAX_DISPARITY:
        return "the maximum disparity must be 1 to 255 and less than the image width";
    case STEREO_ERR_PARAMETER:
        return "a stereo parameter is out of range";
    case STEREO_ERR_MEMORY:
        return "not enough memory";
    case STEREO_CANCELLED:
        return "called off";
    default:
        return "unknown result";
    }
}
