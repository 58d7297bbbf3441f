// The disparity matcher on plain 8-bit grey buffers, without OpenCV: its result codes and their
// texts, and the argument checks that cvFindStereoCorrespondence and qiv-disparity share.
#pragma once

#include "stereo/stereo_matcher_internal.h"

// Result codes of the matcher. On any non-zero result nothing was computed and the depth image
// is untouched.
enum {
    STEREO_OK = 0,
    STEREO_ERR_NULL = 1,          // an image pointer is null
    STEREO_ERR_TYPE = 2,          // not an IplImage or CvMat of 8-bit single-channel pixels
    STEREO_ERR_SIZE = 3,          // the three images differ in size
    STEREO_ERR_TOO_SMALL = 4,     // width below 3 or no rows
    STEREO_ERR_MODE = 5,          // mode other than CV_DISPARITY_BIRCHFIELD
    STEREO_ERR_MAX_DISPARITY = 6, // maxDisparity outside 1 ... min(255, width - 1)
    STEREO_ERR_PARAMETER = 7,     // a parameter not finite, beyond int, or a penalty so large
                                  // that the path sums of this image could overflow
    STEREO_ERR_MEMORY = 8,        // working memory could not be allocated
    STEREO_CANCELLED = 9,         // the caller called the match off before it finished
};

// A short English description of a result code, for messages to the user.
const char* StereoResultText(int result);

namespace stereo {

// Checks an image size, maxDisparity and the five raw parameters (rounded to the nearest integer,
// ties to even; exactly 12345 takes its default) for a match of width x height pixels. Returns
// STEREO_OK with *params ready for MatchGrey, or STEREO_ERR_TOO_SMALL, STEREO_ERR_MAX_DISPARITY
// or STEREO_ERR_PARAMETER.
int CheckMatchArguments(int width, int height, int maxDisparity, const double raw[5],
                        MatchParams* params);

} // namespace stereo
