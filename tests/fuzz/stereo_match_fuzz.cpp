// The disparity matcher with fuzzed sizes, disparity range, parameters and pixels: it either
// refuses with a result code and leaves the depth image untouched, or fills it with disparities
// inside 0 ... maxDisparity.
#include "stereo/stereo_matcher.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t Byte() {
        if (size == 0) {
            return 0;
        }
        --size;
        return *data++;
    }
    double Double() {
        double value = 0;
        std::uint8_t bytes[sizeof value];
        for (auto& b : bytes) {
            b = Byte();
        }
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const int width = in.Byte() % 97;  // 0..96, below and above the smallest matchable width
    const int height = in.Byte() % 17; // 0..16
    const int maxDisparity = static_cast<std::int8_t>(in.Byte()) * 2;
    const bool small = in.Byte() & 1; // parameters near the presets, or any bit pattern
    double p[5];
    for (double& v : p) {
        v = small ? static_cast<double>(static_cast<std::int8_t>(in.Byte())) : in.Double();
    }
    const bool sameDepth = in.Byte() & 1; // the depth image may be the left image itself
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    std::vector<std::uint8_t> left(pixels + 1), right(pixels + 1), depth(pixels + 1, 0x5A);
    for (std::size_t i = 0; i < pixels; ++i) {
        left[i] = in.Byte();
        right[i] = in.Byte();
    }
    CvMat l = cvMat(height, width, CV_8UC1, left.data());
    CvMat r = cvMat(height, width, CV_8UC1, right.data());
    CvMat d = cvMat(height, width, CV_8UC1, sameDepth ? left.data() : depth.data());
    const int result = cvFindStereoCorrespondence(&l, &r, CV_DISPARITY_BIRCHFIELD, &d, maxDisparity,
                                                  p[0], p[1], p[2], p[3], p[4]);
    const std::uint8_t* out = sameDepth ? left.data() : depth.data();
    for (std::size_t i = 0; i < pixels; ++i) {
        if (result == STEREO_OK ? out[i] > maxDisparity : (!sameDepth && out[i] != 0x5A)) {
            std::abort();
        }
    }
    if (StereoResultText(result) == nullptr) {
        std::abort();
    }
    return 0;
}
