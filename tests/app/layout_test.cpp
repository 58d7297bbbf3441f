// Window layout from the screen and source sizes, and the guide lines' near-tests at their
// boundaries.
#include "stereo/layout.h"

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
    // A dragged line follows any distance, but only over the source, on its half.
    EXPECT_TRUE(DraggingRightLine(l, 0, 1999, 300));
    EXPECT_FALSE(DraggingRightLine(l, 0, 999, 300));
    EXPECT_FALSE(DraggingRightLine(l, 2, 1900, 300));
    EXPECT_FALSE(DraggingRightLine(l, 0, 1900, 720));
    EXPECT_TRUE(DraggingLeftLine(l, 0, 0, 300));
}

TEST(Layout, PortraitPairsFitTheScreenHeightToo) {
    // Views of 1500 x 2000: the width rule gives 21 %, three view heights of 420 px.
    StereoLayout l = ComputeLayout(1280, 3000, 2000);
    ASSERT_EQ(l.zoom, 21);
    FitLayoutToHeight(&l, 1024, 30);
    EXPECT_EQ(l.zoom, 16); // (1024 - 30) * 100 / 6000
    EXPECT_EQ(l.previewZoom, 32);
    EXPECT_EQ(l.previewY, 320);
    EXPECT_EQ(l.boxesX, 480);
    EXPECT_LE(l.previewY + 30 + 2000 * l.previewZoom / 100, 1024);
    // A landscape pair that fits keeps the specified layout.
    StereoLayout wide = ComputeLayout(1280, 2000, 750);
    FitLayoutToHeight(&wide, 1024, 30);
    EXPECT_EQ(wide.zoom, 32);
}

TEST(Layout, GuideLinesCoverAScreenPixelAtAnyZoom) {
    EXPECT_EQ(GuideLineWidth(100), 1);
    EXPECT_EQ(GuideLineWidth(400), 1);
    EXPECT_EQ(GuideLineWidth(50), 3);
    EXPECT_EQ(GuideLineWidth(32), 7);  // 3.1 source pixels a screen pixel
    EXPECT_EQ(GuideLineWidth(10), 19); // HALFTONE at 10 % averages 10 columns a pixel
    EXPECT_EQ(GuideLineWidth(0), 199);
}

TEST(Layout, DepthWindowKeepsClearOfTheMainWindow) {
    // Right of a 640-wide source, below the input box, with the main window at the bottom
    // centre of a 1280 x 1024 screen.
    const ScreenRect area = {640, 330, 1280, 1024};
    const ScreenRect mainWindow = {515, 920, 765, 1000};
    const DepthPlacement p = PlaceDepthWindow(area, mainWindow, 2, 30, 1000, 750);
    EXPECT_EQ(p.x, 640);
    EXPECT_EQ(p.y, 330);
    EXPECT_EQ(p.maxWidth, 638);
    EXPECT_EQ(p.maxHeight, 920 - 330 - 30) << "ends above the main window";
    // A tall map does better beside the main window.
    const DepthPlacement tall = PlaceDepthWindow(area, mainWindow, 2, 30, 300, 2000);
    EXPECT_EQ(tall.x, 765);
    EXPECT_EQ(tall.maxHeight, 1024 - 330 - 30);
    // No main window in the way: the whole area.
    EXPECT_EQ(PlaceDepthWindow(area, {0, 0, 0, 0}, 2, 30, 10, 10).maxHeight, 1024 - 330 - 30);
}

} // namespace
