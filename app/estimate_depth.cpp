// The interactive depth pass. The temporary copies of the aligned views are plain buffers kept
// by the pass rather than image windows 7 and 8: the images matched and written are the same,
// and a window the user opened under those numbers is never touched.
#include "app/estimate_depth.h"

#include "app/depth_pass.h"
#include "app/image_files_cv.h"
#include "app/save_results.h"
#include "app/save_sequence.h"
#include "app/stereo_matcher.h"
#include "app/stereo_state.h"
#include "platform/cv_window.h"
#include "runtime/qivlib.h"

#include <opencv2/core/core_c.h>

#include <atomic>

namespace {

DepthPass& KeptPass() {
    // Kept between passes so that its buffers and OpenCV images are reused.
    static DepthPass pass;
    return pass;
}

// Read by tests from another thread.
std::atomic<long> passCount{0};

void ShowMap(const DepthPass& pass) {
    CvMat map = cvMat(pass.overlap.rows, pass.overlap.cols, CV_8UC1,
                      const_cast<std::uint8_t*>(pass.map.data()));
    cvShowImage(DEPTH_WINDOW_NAME, &map);
}

} // namespace

void EstimateDepth(int offsetX, const std::uint32_t* bufferA, const std::uint32_t* bufferB, int W,
                   int H, int offsetY, int save) {
    ++passCount;
    if (!bufferA || !bufferB) {
        return;
    }
    DepthInput input = {bufferA, bufferB, W,         H,
                        offsetX, offsetY, swapDepth, CurrentStereoParameters()};
    DepthPass& pass = KeptPass();
    int status = RunDepthPass(input, cvFindStereoCorrespondence, &pass);
    if (status == DEPTH_DONE) {
        ShowMap(pass);
    } else {
        char text[128];
        DepthStatusText(pass, text, sizeof text);
        QIV_SetStatus(text);
    }
    if (save) {
        ImageWriter writer = {WriteColourFileCv, WriteGreyPng};
        WriteDepthFiles(pass, MakeSaveNames("", SaveBaseName()), writer, nullptr);
    }
}

long DepthPassCount() {
    return passCount;
}
