// The eyes of a side-by-side source in both layouts: which view the anaglyph's red, the saved
// _Left/_Right files and the matcher's left image come from, at an offset that crops both
// views.
#include "recording_writer.h"
#include "stereo/depth_pass.h"
#include "stereo/eyes.h"
#include "stereo/previews.h"
#include "stereo/save_results.h"
#include "stereo_fake.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int W = 8, H = 5, OX = 2, OY = -1; // overlap 6 x 4: A from (2, 0), B from (0, 1)

// Views whose pixels say which view and where.
std::vector<std::uint32_t> View(std::uint32_t tag) {
    std::vector<std::uint32_t> view(W * H);
    for (int i = 0; i < W * H; ++i) {
        view[i] = tag | static_cast<std::uint32_t>(i * 3);
    }
    return view;
}

const std::vector<std::uint32_t> A = View(0x00400000), B = View(0x00C00000);

std::uint32_t AtA(int x, int y) {
    return A[(y + 0) * W + x + 2];
}
std::uint32_t AtB(int x, int y) {
    return B[(y + 1) * W + x];
}

struct EyeCase {
    SideBySideLayout layout;
    bool leftIsA;
};

class Eyes : public ::testing::TestWithParam<EyeCase> {
protected:
    std::uint32_t LeftAt(int x, int y) const { return GetParam().leftIsA ? AtA(x, y) : AtB(x, y); }
    std::uint32_t RightAt(int x, int y) const { return GetParam().leftIsA ? AtB(x, y) : AtA(x, y); }
    EyePair Pair() const { return EyesOf(A.data(), B.data(), OX, OY, GetParam().layout); }
};

TEST_P(Eyes, AnaglyphRedIsTheLeftEyeAndTheFramesFollowTheEyes) {
    const EyePair eyes = Pair();
    std::vector<std::uint32_t> preview(W * H), frameL(W * H), frameR(W * H);
    MakeAnaglyph(W, H, eyes.left, eyes.right, preview.data(), eyes.offsetX, eyes.offsetY);
    ComposeWiggleFrames(W, H, eyes.left, eyes.right, frameL.data(), frameR.data(), eyes.offsetX,
                        eyes.offsetY);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(preview[y * W + x], AnaglyphPixel(LeftAt(x, y), RightAt(x, y)));
            EXPECT_EQ(frameL[y * W + x], LeftAt(x, y));
            EXPECT_EQ(frameR[y * W + x], RightAt(x, y));
        }
    }
    EXPECT_EQ(preview[4 * W], 0u) << "outside the overlap";
}

TEST_P(Eyes, MatcherAndFilesTakeTheLeftEyeAsLeft) {
    const EyePair eyes = Pair();
    for (int swap : {0, 1}) {
        SCOPED_TRACE(swap);
        ResetStereoCall();
        ResetWritten();
        DepthInput input = {eyes.left,    eyes.right,   W,    H,
                            eyes.offsetX, eyes.offsetY, swap, INITIAL_STEREO_PARAMETERS};
        input.parameters.maxDisparity = 2;
        DepthPass pass;
        ASSERT_EQ(RunDepthPass(input, FakeStereo, &pass), DEPTH_DONE);
        // The stereo call's left image holds the left eye unless swap_depth swaps them.
        EXPECT_EQ(pass.left[0], swap ? RightAt(0, 0) : LeftAt(0, 0));
        EXPECT_EQ(pass.left[3 * W + 5], swap ? RightAt(5, 3) : LeftAt(5, 3));

        SaveNames names = MakeSaveNames("", "B");
        ASSERT_EQ(WriteDepthFiles(pass, &names, RECORDING_WRITER, nullptr), SAVE_OK);
        ASSERT_EQ(Written().files.size(), 3u);
        for (const WrittenFile& file : Written().files) {
            if (file.path == "B_Left.png") {
                EXPECT_EQ(file.colour[7], LeftAt(1, 1));
            } else if (file.path == "B_Right.png") {
                EXPECT_EQ(file.colour[7], RightAt(1, 1));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, Eyes,
                         ::testing::Values(EyeCase{LAYOUT_PARALLEL, true},
                                           EyeCase{LAYOUT_CROSS, false}));

TEST(EyeLayout, CrossKeepsTheExamplePixelAndJpsIsCross) {
    // View A 0x00A0B0C0 beside view B 0x00102030, cross: red is B's luminance 29.
    const std::uint32_t a = 0x00A0B0C0, b = 0x00102030;
    const EyePair eyes = EyesOf(&a, &b, 0, 0, LAYOUT_CROSS);
    EXPECT_EQ(AnaglyphPixel(*eyes.left, *eyes.right), 0x001DB0C0u);
    EXPECT_EQ(LayoutOfFileName("000 holiday.JPS"), LAYOUT_CROSS);
    EXPECT_EQ(LayoutOfFileName("pair.jpg"), LAYOUT_PARALLEL);
    EXPECT_EQ(LayoutOfFileName(".jps.png"), LAYOUT_PARALLEL);
}

} // namespace
