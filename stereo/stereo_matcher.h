// Disparity map of a rectified grey stereo pair: the per-scanline dynamic programme of Birchfield
// and Tomasi with propagation of reliable disparities across scanlines, in the variant and with
// the arguments of the 1.x OpenCV call of the same name.
#pragma once

#include <opencv2/core/core_c.h>
#include <opencv2/core/types_c.h>

#include <atomic>

#define CV_DISPARITY_BIRCHFIELD 0

// Result codes of cvFindStereoCorrespondence. On any non-zero result nothing was computed and the
// depth image is untouched.
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

// Fills depthImage with the raw disparity d (0 ... maxDisparity) of every left pixel, where left
// pixel x matches right pixel x - d. leftImage is the reference. The parameters are rounded to the
// nearest integer (ties to even); a parameter of exactly 12345 takes its default (25, 5, 12, 15,
// 25). param1: occlusion penalty; param2: match reward; param3, param4, param5: run lengths of
// highly, moderately and slightly reliable regions for the propagation across scanlines.
// depthImage may be the same image as an input. Returns STEREO_OK or one of the codes above.
int cvFindStereoCorrespondence(const CvArr* leftImage, const CvArr* rightImage, int mode,
                               CvArr* depthImage, int maxDisparity, double param1, double param2,
                               double param3, double param4, double param5);

// The same, given up with STEREO_CANCELLED soon after *cancel (may be null) turns true; a
// caller on another thread can so end a long match without waiting for it.
int FindStereoCorrespondenceCancellable(const CvArr* leftImage, const CvArr* rightImage, int mode,
                                        CvArr* depthImage, int maxDisparity, double param1,
                                        double param2, double param3, double param4, double param5,
                                        const std::atomic<bool>* cancel);

// A short English description of a result code, for messages to the user.
const char* StereoResultText(int result);
