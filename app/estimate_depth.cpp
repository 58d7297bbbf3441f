// The interactive depth pass. The temporary copies of the aligned views are plain buffers kept
// by the pass rather than image windows 7 and 8: the images matched and written are the same,
// and a window the user opened under those numbers is never touched.
#include "app/estimate_depth.h"

#include "app/depth_pass.h"
#include "app/photo_files.h"
#include "app/save_results.h"
#include "app/save_sequence.h"
#include "app/stereo_matcher.h"
#include "app/stereo_state.h"
#include "platform/cv_window.h"
#include "runtime/qivlib.h"

#include <opencv2/core/core_c.h>

#include <atomic>
#include <string>

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
        std::string reasons[3];
        unsigned written = 0;
        SaveNames& names = LastSaveNames();
        WriteDepthFiles(pass, &names, PHOTO_FILE_WRITER, &written, reasons);
        const std::string* paths[] = {&names.right, &names.left, &names.depth};
        for (int i = 0; i < 3; ++i) {
            if (!reasons[i].empty() && (written & (1u << i)) == 0) {
                const std::string text = "Save failed: " + *paths[i] + ": " + reasons[i];
                QIV_SetStatus(text.c_str());
            }
        }
    }
}

long DepthPassCount() {
    return passCount;
}
