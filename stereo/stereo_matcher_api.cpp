// cvFindStereoCorrespondence: checks the OpenCV image headers and arguments, then runs the matcher.
// Nothing is thrown and nothing is written unless every check passes.
#include "stereo/stereo_matcher.h"

#include <opencv2/core.hpp>

#include <utility>

namespace {

struct ImageView {
    const uint8_t* data = nullptr;
    size_t step = 0;
    int width = 0;
    int height = 0;
};

// Size of an IplImage or CvMat as the matcher would see it (the ROI of an image), or
// STEREO_ERR_TYPE when the header is neither or does not hold 8-bit single-channel pixels.
int InspectHeader(const CvArr* arr, int* width, int* height) {
    if (CV_IS_IMAGE_HDR(arr)) {
        const IplImage* image = static_cast<const IplImage*>(arr);
        if (image->depth != IPL_DEPTH_8U || image->nChannels != 1 || !image->imageData ||
            image->width < 0 || image->height < 0 || image->widthStep < image->width) {
            return STEREO_ERR_TYPE;
        }
        if (image->roi) {
            const IplROI* roi = image->roi;
            if (roi->coi != 0 || roi->xOffset < 0 || roi->yOffset < 0 || roi->width < 0 ||
                roi->height < 0 || roi->xOffset + roi->width > image->width ||
                roi->yOffset + roi->height > image->height) {
                return STEREO_ERR_TYPE;
            }
            *width = roi->width;
            *height = roi->height;
        } else {
            *width = image->width;
            *height = image->height;
        }
        return STEREO_OK;
    }
    if (CV_IS_MAT_HDR_Z(arr)) {
        const CvMat* mat = static_cast<const CvMat*>(arr);
        if (CV_MAT_TYPE(mat->type) != CV_8UC1 || !mat->data.ptr ||
            (mat->rows > 1 && mat->step < mat->cols)) {
            return STEREO_ERR_TYPE;
        }
        *width = mat->cols;
        *height = mat->rows;
        return STEREO_OK;
    }
    return STEREO_ERR_TYPE;
}

int View(const CvArr* arr, ImageView* view) {
    CvMat header;
    try {
        const CvMat* mat = cvGetMat(arr, &header);
        view->data = mat->data.ptr;
        view->step = size_t(mat->rows > 1 ? mat->step : mat->cols);
        view->width = mat->cols;
        view->height = mat->rows;
    } catch (const cv::Exception&) {
        return STEREO_ERR_TYPE;
    }
    return STEREO_OK;
}

} // namespace

int cvFindStereoCorrespondence(const CvArr* leftImage, const CvArr* rightImage, int mode,
                               CvArr* depthImage, int maxDisparity, double param1, double param2,
                               double param3, double param4, double param5) {
    return FindStereoCorrespondenceCancellable(leftImage, rightImage, mode, depthImage,
                                               maxDisparity, param1, param2, param3, param4, param5,
                                               nullptr);
}

int FindStereoCorrespondenceCancellable(const CvArr* leftImage, const CvArr* rightImage, int mode,
                                        CvArr* depthImage, int maxDisparity, double param1,
                                        double param2, double param3, double param4, double param5,
                                        const std::atomic<bool>* cancel) {
    if (!leftImage || !rightImage || !depthImage) {
        return STEREO_ERR_NULL;
    }
    if (mode != CV_DISPARITY_BIRCHFIELD) {
        return STEREO_ERR_MODE;
    }
    int sizes[3][2];
    const CvArr* arrays[3] = {leftImage, rightImage, depthImage};
    for (int i = 0; i < 3; ++i) {
        if (int result = InspectHeader(arrays[i], &sizes[i][0], &sizes[i][1])) {
            return result;
        }
    }
    const int width = sizes[0][0];
    const int height = sizes[0][1];
    for (int i = 1; i < 3; ++i) {
        if (sizes[i][0] != width || sizes[i][1] != height) {
            return STEREO_ERR_SIZE;
        }
    }
    const double raw[5] = {param1, param2, param3, param4, param5};
    stereo::MatchParams params;
    if (int result = stereo::CheckMatchArguments(width, height, maxDisparity, raw, &params)) {
        return result;
    }
    ImageView left, right, depth;
    for (auto [arr, view] : {std::pair{leftImage, &left}, std::pair{rightImage, &right},
                             std::pair{static_cast<const CvArr*>(depthImage), &depth}}) {
        if (int result = View(arr, view)) {
            return result;
        }
    }
    stereo::MatchOptions options;
    options.cancel = cancel;
    return stereo::MatchGrey(left.data, left.step, right.data, right.step,
                             const_cast<uint8_t*>(depth.data), depth.step, width, height, params,
                             options);
}
