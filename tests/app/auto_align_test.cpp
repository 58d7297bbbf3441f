// The automatic alignment: its geometry on pairs of known perturbation, the window and range it
// picks, and the pairs it must refuse without touching them.
#include "stereo/auto_align.h"
#include "stereo/stereo_parameters.h"
#include "tests/support/stereo_pairs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using stereo_pairs::Eyes;

const Eyes& SmallGarden() {
    static const Eyes eyes = stereo_pairs::Garden(640, 480, 48);
    return eyes;
}

double MeanAbsDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                         int W, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * W + x;
            sum += std::abs(static_cast<int>(a[i] & 0xFF) - static_cast<int>(b[i] & 0xFF));
        }
    }
    return sum / ((x1 - x0) * (y1 - y0));
}

std::string Summary(const AutoAlignResult& result) {
    char text[256];
    AutoAlignSummary(result, text, sizeof text);
    return text;
}

// Exact matches of a known difference recover it; the resampling matrix is its inverse, so the
// right eye's features land on the left eye's rows.
TEST(AutoAlignFit, RecoversTheDifferenceAndIgnoresParallaxAndOutliers) {
    const int W = 1200, H = 800;
    const double degrees = 1.7, scale = 1.02, shiftY = -6.3;
    const double t = degrees * CV_PI / 180, c = std::cos(t) * scale, s = std::sin(t) * scale;
    const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> xs(0, W - 1), ys(0, H - 1), parallax(-40, 0);
    std::vector<FeatureMatch> matches;
    for (int i = 0; i < 300; ++i) {
        // Parallax is horizontal between the eyes before the right camera turns.
        const double lx = xs(random), ly = ys(random), px = lx + parallax(random);
        const double rx = cx + c * (px - cx) - s * (ly - cy);
        const double ry = cy + s * (px - cx) + c * (ly - cy) + shiftY;
        matches.push_back({lx, ly, rx, ry});
    }
    for (int i = 0; i < 60; ++i) { // mismatches anywhere
        matches.push_back({xs(random), ys(random), xs(random), ys(random)});
    }
    AutoAlignResult r;
    ASSERT_EQ(FitEyeDifference(matches, W, H, 1.0, &r), AUTO_ALIGN_OK) << Summary(r);
    EXPECT_NEAR(r.difference.rotationDeg, degrees, 1e-6);
    EXPECT_NEAR(r.difference.scale, scale, 1e-6);
    EXPECT_NEAR(r.difference.shiftY, shiftY, 1e-6);
    EXPECT_GE(r.inliers, 300);
    EXPECT_LT(r.inliers, 310);
    EXPECT_TRUE(r.resample);
    for (int i = 0; i < 300; ++i) {
        const FeatureMatch& f = matches[static_cast<std::size_t>(i)];
        const double y = cy + r.m10 * (f.rightX - cx) + r.m11 * (f.rightY - cy) + r.subShiftY;
        EXPECT_NEAR(y + r.offsetY, f.leftY, 1e-6);
    }
    // Parallaxes were all in front of the screen: the window moves them behind it.
    EXPECT_GE(r.offsetX, 38);
    EXPECT_FALSE(r.looksSwapped);
}

TEST(AutoAlignWindow, PercentilesIgnoreStrayFeaturesAndTheRangeKeepsToTheMatcher) {
    std::vector<double> parallaxes;
    for (int i = 0; i <= 1000; ++i) {
        parallaxes.push_back(-30.0 + 50.0 * i / 1000); // -30 ... 20
    }
    parallaxes.push_back(-400); // one mismatch far in front
    parallaxes.push_back(300);  // and one far behind
    std::vector<double> copy = parallaxes;
    const StereoWindow w = ChooseStereoWindow(copy, 1000);
    // The 2nd percentile is -29.05, the 98th 19.05: window 30 puts the near end just behind the
    // screen, the range is 49.05 plus the margin of 8.
    EXPECT_EQ(w.offsetX, 30);
    EXPECT_EQ(w.maxDisparity, 58);
    EXPECT_FALSE(w.clamped);

    copy = parallaxes;
    const StereoWindow narrow = ChooseStereoWindow(copy, 60); // overlap 30: limit 29
    EXPECT_EQ(narrow.maxDisparity, MaxDisparityLimit(60 - 30));
    EXPECT_TRUE(narrow.clamped);
}

// A rendered scene with its right eye turned, zoomed and shifted: recovered within the quality
// bar, and after the resampling and offsetY the right eye is the true one again.
TEST(AutoAlignPair, UndoesAKnownPerturbationOfTheRightEye) {
    const Eyes& eyes = SmallGarden();
    const int W = eyes.W, H = eyes.H;
    std::vector<std::uint32_t> right = stereo_pairs::Perturbed(eyes.right, W, H, -2.0, 1.025, 11.0);
    AutoAlignResult r;
    ASSERT_EQ(AutoAlign(eyes.left.data(), right.data(), W, H, &r), AUTO_ALIGN_OK) << Summary(r);
    EXPECT_NEAR(r.difference.rotationDeg, -2.0, 0.05);
    EXPECT_NEAR(r.difference.scale, 1.025, 0.002);
    EXPECT_NEAR(r.difference.shiftY, 11.0, 0.5);
    EXPECT_FALSE(r.looksSwapped);
    EXPECT_EQ(right.size(), eyes.right.size());
    // The garden's disparities run 0 ... 48 in front of the screen: the window takes nearly all.
    EXPECT_GT(r.offsetX, 30);
    EXPECT_LE(r.offsetX, 48);
    EXPECT_GE(r.maxDisparity, r.offsetX);

    // offsetY rows of the true right eye sit above the aligned one's: compare the interior.
    const int dy = r.offsetY;
    std::vector<std::uint32_t> shifted(right.size(), 0);
    for (int y = 0; y < H; ++y) {
        const int from = y - dy;
        if (from >= 0 && from < H) {
            std::copy_n(right.begin() + static_cast<std::ptrdiff_t>(from) * W, W,
                        shifted.begin() + static_cast<std::ptrdiff_t>(y) * W);
        }
    }
    EXPECT_LT(MeanAbsDifference(shifted, eyes.right, W, 60, 60, W - 60, H - 60), 6.0);
    // What came from outside the perturbed eye is black, not stretched edge pixels.
    EXPECT_EQ(right[0], 0u);
    EXPECT_EQ(right[static_cast<std::size_t>(H) * W - 1], 0u);
}

TEST(AutoAlignPair, SaysSoWhenTheHalvesLookSwapped) {
    const Eyes& eyes = SmallGarden();
    AutoAlignResult r;
    ASSERT_EQ(EstimateAutoAlignment(eyes.right.data(), eyes.left.data(), eyes.W, eyes.H, &r),
              AUTO_ALIGN_OK);
    EXPECT_TRUE(r.looksSwapped);
    EXPECT_NE(Summary(r).find("halves look swapped"), std::string::npos);
}

// Pairs that hold no alignment are refused with a reason, and the right eye stays as it was.
TEST(AutoAlignRefusal, FlatUnrelatedAndTinyPairsChangeNothing) {
    const int W = 320, H = 240;
    std::vector<std::uint32_t> grey(static_cast<std::size_t>(W) * H, 0x808080);
    std::vector<std::uint32_t> right = grey;
    AutoAlignResult r;
    EXPECT_EQ(AutoAlign(grey.data(), right.data(), W, H, &r), AUTO_ALIGN_TOO_FEW);
    EXPECT_EQ(right, grey);
    EXPECT_NE(Summary(r).find("20 needed"), std::string::npos) << Summary(r);

    // Two unrelated textures: plenty of features, no common geometry.
    scene::Layer a{0, 0, W, H};
    a.texture = scene::Texture::NOISE;
    a.seed = 1;
    scene::Layer b = a;
    b.seed = 2;
    const std::vector<std::uint32_t> left =
        stereo_pairs::Pixels(scene::RenderLayers(W, H, {a}).left);
    right = stereo_pairs::Pixels(scene::RenderLayers(W, H, {b}).left);
    const std::vector<std::uint32_t> before = right;
    EXPECT_NE(AutoAlign(left.data(), right.data(), W, H, &r), AUTO_ALIGN_OK) << Summary(r);
    EXPECT_EQ(right, before);

    std::vector<std::uint32_t> row(640, 0x123456), rowRight = row;
    EXPECT_EQ(AutoAlign(row.data(), rowRight.data(), 640, 1, &r), AUTO_ALIGN_TOO_SMALL);
    EXPECT_EQ(Summary(r).rfind("auto: views too small", 0), 0u);
}

} // namespace
