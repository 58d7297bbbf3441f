// The synthetic scenes show what their ground truth says.
#include "tools/scene/stereo_scene.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Every left pixel seen by both cameras is the right pixel d to its left, exactly, for layers at
// integer disparities; the rest is the occlusion the ground truth marks.
TEST(Scene, LayersAreExactShiftsWhereVisible) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        const int w = 90, h = 30;
        const scene::StereoPair pair =
            scene::RenderLayers(w, h, scene::RandomLayers(w, h, 40, seed));
        int visible = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y) * w + x;
                const float d = pair.disparity[i];
                ASSERT_EQ(d, std::floor(d));
                ASSERT_GE(d, 0);
                ASSERT_LE(d, 40);
                if (pair.visible[i]) {
                    ++visible;
                    ASSERT_EQ(pair.left.Row(y)[x], pair.right.Row(y)[x - int(d)]) << x << "," << y;
                }
            }
        }
        EXPECT_GT(visible, w * h / 2);
    }
}

// A nearer layer hides a farther one whatever their order; the pixels it hides in the right
// view are exactly the strip of width 12 - 4 left of it.
TEST(Scene, NearerLayerHidesFartherOne) {
    scene::Layer back, front;
    back.x0 = -100;
    back.x1 = 200;
    back.y1 = 4;
    back.disparity = 4;
    front = back;
    front.x0 = 40;
    front.x1 = 60;
    front.disparity = 12;
    front.seed = 9;
    for (auto layers : {std::vector{back, front}, std::vector{front, back}}) {
        const scene::StereoPair pair = scene::RenderLayers(100, 4, layers);
        for (int x = 0; x < 100; ++x) {
            EXPECT_EQ(pair.disparity[x], x >= 40 && x < 60 ? 12.0f : 4.0f) << x;
            EXPECT_EQ(pair.visible[x], !(x >= 32 && x < 40) && x >= 4) << x;
        }
    }
}

TEST(Scene, GreyMatchesOpenCvAndSideBySideKeepsTheHalves) {
    const scene::StereoPair pair = scene::RenderGarden(60, 40, 6, 2);
    ASSERT_EQ(pair.left.channels, 3);
    const scene::Image grey = scene::ToGrey(pair.left);
    cv::Mat expected;
    cv::cvtColor(cv::Mat(40, 60, CV_8UC3, const_cast<uint8_t*>(pair.left.pixels.data())), expected,
                 cv::COLOR_BGR2GRAY);
    EXPECT_TRUE(std::equal(grey.pixels.begin(), grey.pixels.end(), expected.data));

    const scene::Image both = scene::SideBySide(pair);
    ASSERT_EQ(both.width, 120);
    ASSERT_EQ(both.height, 40);
    for (int y = 0; y < 40; y += 7) {
        EXPECT_TRUE(std::equal(pair.left.Row(y), pair.left.Row(y) + 180, both.Row(y)));
        EXPECT_TRUE(std::equal(pair.right.Row(y), pair.right.Row(y) + 180, both.Row(y) + 180));
    }
}

// The garden's disparities fill the range asked for, fall towards the horizon and agree with
// the views: a visible textured left pixel looks like the right pixel d to its left.
TEST(Scene, GardenDisparitiesMatchItsViews) {
    const int w = 160, h = 120, dmax = 16;
    const scene::StereoPair pair = scene::RenderGarden(w, h, dmax, 0);
    float largest = 0;
    for (float d : pair.disparity) {
        ASSERT_GE(d, 0);
        largest = std::max(largest, d);
    }
    EXPECT_LE(largest, dmax);
    EXPECT_GE(largest, 0.8f * dmax);
    EXPECT_GT(pair.disparity[size_t(h - 1) * w + w / 2], pair.disparity[size_t(h / 2) * w + w / 2]);

    const scene::Image l = scene::ToGrey(pair.left), r = scene::ToGrey(pair.right);
    int compared = 0, close = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 2; x < w - 2; ++x) {
            const size_t i = size_t(y) * w + x;
            const int xr = int(std::lround(x - pair.disparity[i]));
            if (!pair.visible[i] || xr < 0) {
                continue;
            }
            ++compared;
            close += std::abs(l.Row(y)[x] - r.Row(y)[xr]) <= 24;
        }
    }
    EXPECT_GE(close * 100, compared * 90);

    // The right view of a shifted pair is the same scene a few rows lower.
    const scene::StereoPair shifted = scene::RenderGarden(w, h, dmax, 3);
    EXPECT_TRUE(
        std::equal(shifted.right.Row(100), shifted.right.Row(100) + 3 * w, pair.right.Row(97)));
}

} // namespace
