// Helpers shared by the matcher's test files.
#pragma once

#include "stereo/stereo_matcher.h"
#include "stereo/stereo_matcher_internal.h"
#include "tests/app/stereo_reference.h"

#include <cstdint>
#include <random>
#include <vector>

struct GreyPair {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> left, right;
};

inline constexpr ReferenceParams DEFAULT1{0, 25, 5, 12, 15, 25};
inline constexpr ReferenceParams DEFAULT2{0, 15, 3, 6, 8, 15};

inline ReferenceParams WithDisparity(ReferenceParams p, int maxDisparity) {
    p.maxDisparity = maxDisparity;
    return p;
}

// The matcher through its C entry point on plain buffers; the map, or empty on a refusal.
inline std::vector<uint8_t> Match(const GreyPair& pair, int maxDisparity, const double params[5],
                                  int* result = nullptr) {
    CvMat left = cvMat(pair.height, pair.width, CV_8UC1, const_cast<uint8_t*>(pair.left.data()));
    CvMat right = cvMat(pair.height, pair.width, CV_8UC1, const_cast<uint8_t*>(pair.right.data()));
    std::vector<uint8_t> depth(size_t(pair.width) * pair.height, 0xEE);
    CvMat out = cvMat(pair.height, pair.width, CV_8UC1, depth.data());
    const int r =
        cvFindStereoCorrespondence(&left, &right, CV_DISPARITY_BIRCHFIELD, &out, maxDisparity,
                                   params[0], params[1], params[2], params[3], params[4]);
    if (result) {
        *result = r;
    }
    if (r != STEREO_OK) {
        return {};
    }
    return depth;
}

inline std::vector<uint8_t> Match(const GreyPair& pair, const ReferenceParams& p) {
    const double params[5] = {double(p.p1), double(p.p2), double(p.p3), double(p.p4), double(p.p5)};
    return Match(pair, p.maxDisparity, params);
}

// The fast path with a chosen kernel and thread count.
inline std::vector<uint8_t> MatchWith(const GreyPair& pair, const ReferenceParams& p,
                                      stereo::Kernel kernel, int threads) {
    stereo::MatchParams mp;
    mp.maxDisparity = p.maxDisparity;
    mp.occlusionPenalty = p.p1;
    mp.matchReward = p.p2;
    mp.highlyReliable = p.p3;
    mp.moderatelyReliable = p.p4;
    mp.slightlyReliable = p.p5;
    std::vector<uint8_t> out(size_t(pair.width) * pair.height, 0xEE);
    stereo::MatchGrey(pair.left.data(), pair.width, pair.right.data(), pair.width, out.data(),
                      pair.width, pair.width, pair.height, mp, {kernel, threads});
    return out;
}

inline std::vector<uint8_t> Reference(const GreyPair& pair, const ReferenceParams& p) {
    return ReferenceDisparity(pair.left.data(), pair.right.data(), pair.width, pair.height, p);
}

// A row-major view of one value of a map.
inline int At(const std::vector<uint8_t>& map, int width, int x, int y) {
    return map[size_t(y) * width + x];
}
