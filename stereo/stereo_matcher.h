// Disparity map of a rectified grey stereo pair: the per-scanline dynamic programme of Birchfield
// and Tomasi with propagation of reliable disparities across scanlines, in the variant and with
// the arguments of the 1.x OpenCV call of the same name.
#pragma once

#include "stereo/grey_matcher.h"

#include <opencv2/core/core_c.h>
#include <opencv2/core/types_c.h>

#include <atomic>

#define CV_DISPARITY_BIRCHFIELD 0

// Fills depthImage with the raw disparity d (0 ... maxDisparity) of every left pixel, where left
// pixel x matches right pixel x - d. leftImage is the reference. The parameters are rounded to the
// nearest integer (ties to even); a parameter of exactly 12345 takes its default (25, 5, 12, 15,
// 25). param1: occlusion penalty; param2: match reward; param3, param4, param5: run lengths of
// highly, moderately and slightly reliable regions for the propagation across scanlines.
// depthImage may be the same image as an input. Returns STEREO_OK or a STEREO_ERR_ code.
int cvFindStereoCorrespondence(const CvArr* leftImage, const CvArr* rightImage, int mode,
                               CvArr* depthImage, int maxDisparity, double param1, double param2,
                               double param3, double param4, double param5);

// The same, given up with STEREO_CANCELLED soon after *cancel (may be null) turns true; a
// caller on another thread can so end a long match without waiting for it.
int FindStereoCorrespondenceCancellable(const CvArr* leftImage, const CvArr* rightImage, int mode,
                                        CvArr* depthImage, int maxDisparity, double param1,
                                        double param2, double param3, double param4, double param5,
                                        const std::atomic<bool>* cancel);
