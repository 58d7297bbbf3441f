// The plain grey conversion against OpenCV's, over every 8-bit colour.
#include "stereo/grey_pixels.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(GreyPixels, EqualsOpenCvForEveryColourInPlaceToo) {
    cv::Mat rgb(4096, 4096, CV_8UC3);
    for (int i = 0; i < 1 << 24; ++i) {
        rgb.at<cv::Vec3b>(i >> 12, i & 4095) = cv::Vec3b(i >> 16, (i >> 8) & 255, i & 255);
    }
    cv::Mat expected;
    cv::cvtColor(rgb, expected, cv::COLOR_RGB2GRAY);
    std::vector<std::uint8_t> grey(1 << 24);
    RgbToGrey(rgb.data, grey.size(), grey.data());
    EXPECT_EQ(cv::countNonZero(expected.reshape(1, 1) != cv::Mat(grey, false).reshape(1, 1)), 0);

    RgbToGrey(rgb.data, grey.size(), rgb.data);
    EXPECT_EQ(std::memcmp(rgb.data, grey.data(), grey.size()), 0);
}

} // namespace
