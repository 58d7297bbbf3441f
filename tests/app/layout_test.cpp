// Window layout from the screen and source sizes, and the guide lines' near-tests at their
// boundaries.
#include "app/layout.h"

#include <gtest/gtest.h>

namespace {

TEST(Layout, WideSourceOnA1280Screen) {
    const StereoLayout l = ComputeLayout(1280, 2000, 750);
    EXPECT_EQ(l.W, 1000);
    EXPECT_EQ(l.H, 750);
    EXPECT_EQ(l.zoom, 32);
    EXPECT_EQ(l.previewZoom, 64);
    EXPECT_EQ(l.previewY, 240); // the source window shows 640 x 240
    EXPECT_EQ(l.boxesX, 640);
    EXPECT_EQ(l.leftLineX, 500);
    EXPECT_EQ(l.rightLineX, 1500);
}

TEST(Layout, OddWidthsAndExtremeSources) {
    const StereoLayout odd = ComputeLayout(1280, 1001, 400);
    EXPECT_EQ(odd.W, 500);
    EXPECT_EQ(odd.zoom, 63); // (128000 / 1001) / 2, both truncated
    EXPECT_EQ(odd.boxesX, 630);
    EXPECT_EQ(odd.rightLineX, 750);
    // Wider than fifty screens: the zoom would truncate to 0.
    EXPECT_EQ(ComputeLayout(1280, 70000, 10).zoom, 1);
}

TEST(Layout, NearTestsHoldStrictlyInsideTheirBounds) {
    const StereoLayout l = ComputeLayout(1280, 2000, 750); // lines at 500 and 1500
    EXPECT_TRUE(NearLeftLine(l, 500, 0, 401, 51));
    EXPECT_TRUE(NearLeftLine(l, 500, 0, 599, 699));
    EXPECT_FALSE(NearLeftLine(l, 500, 0, 400, 300)); // 100 away
    EXPECT_FALSE(NearLeftLine(l, 500, 0, 600, 300));
    EXPECT_FALSE(NearLeftLine(l, 500, 0, 500, 50));   // too close to the top
    EXPECT_FALSE(NearLeftLine(l, 500, 0, 500, 700));  // too close to the bottom
    EXPECT_FALSE(NearLeftLine(l, 500, 1, 500, 300));  // over another window
    EXPECT_FALSE(NearLeftLine(l, 500, -1, 500, 300)); // nothing recorded yet
    // A left line dragged to the middle stays on its half; the right line takes over there.
    EXPECT_TRUE(NearLeftLine(l, 950, 0, 999, 300));
    EXPECT_FALSE(NearLeftLine(l, 950, 0, 1000, 300));
    EXPECT_TRUE(NearRightLine(l, 1050, 0, 1000, 300));
    EXPECT_FALSE(NearRightLine(l, 1050, 0, 999, 300));
    EXPECT_TRUE(NearRightLine(l, 1500, 0, 1599, 300));
    EXPECT_FALSE(NearRightLine(l, 1500, 0, 1600, 300));
}

} // namespace
