// A stand-in for the stereo call that records what it was given and fills the map with a
// known pattern, so the depth pass's data path can be checked exactly.
#pragma once

#include "stereo/depth_pass.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

struct StereoCall {
    int count = 0;
    int mode = -1;
    int maxDisparity = 0;
    double params[5] = {};
    cv::Mat left; // copies of the grey images
    cv::Mat right;
    int depthWidth = 0;
    int depthHeight = 0;
    int result = 0; // what the fake returns
};

inline StereoCall& LastStereoCall() {
    static StereoCall call;
    return call;
}

// Map value of pixel (x, y): small, distinct along a row, and never scaled.
inline std::uint8_t FakeDisparity(int x, int y) {
    return static_cast<std::uint8_t>((x + 3 * y) % 17);
}

inline int FakeStereo(const CvArr* left, const CvArr* right, int mode, CvArr* depth,
                      int maxDisparity, double p1, double p2, double p3, double p4, double p5) {
    StereoCall& call = LastStereoCall();
    ++call.count;
    call.mode = mode;
    call.maxDisparity = maxDisparity;
    const double params[5] = {p1, p2, p3, p4, p5};
    std::copy(params, params + 5, call.params);
    call.left = cv::cvarrToMat(left).clone();
    call.right = cv::cvarrToMat(right).clone();
    cv::Mat map = cv::cvarrToMat(depth);
    call.depthWidth = map.cols;
    call.depthHeight = map.rows;
    if (call.result != 0) {
        return call.result;
    }
    for (int y = 0; y < map.rows; ++y) {
        for (int x = 0; x < map.cols; ++x) {
            map.at<std::uint8_t>(y, x) = FakeDisparity(x, y);
        }
    }
    return 0;
}

inline void ResetStereoCall(int result = 0) {
    LastStereoCall() = StereoCall{};
    LastStereoCall().result = result;
}
