// The depth pass: colour image bytes and row lengths, which overlap goes to which side of the
// stereo call, the map as returned, and the passes that must never reach the matcher.
#include "stereo/depth_pass.h"
#include "stereo_fake.h"

#include <opencv2/core.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Characters the main window's status line shows whole, with its centring spaces.
constexpr std::size_t STATUS_FITS = 19;

using Buffer = std::vector<std::uint32_t>;

std::uint32_t Grey(int v) {
    return static_cast<std::uint32_t>((v & 0xFF) * 0x010101);
}

// A grey view whose level encodes the position: OpenCV's grey of an equal-channel pixel is the
// level itself, so the grey images the matcher sees can be traced back to their source pixels.
Buffer PositionGreys(int W, int H, int salt) {
    Buffer view(static_cast<std::size_t>(W) * H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            view[y * W + x] = Grey(salt + 7 * x + 31 * y);
        }
    }
    return view;
}

struct ImageDeleter {
    void operator()(IplImage* image) const { cvReleaseImage(&image); }
};
using Image = std::unique_ptr<IplImage, ImageDeleter>;

TEST(ColourImage, PixelsBecomeBlueGreenRedBytesInPaddedRows) {
    const int W = 103, H = 3, cols = 101, rows = 2;
    Buffer window(W * H);
    for (std::size_t i = 0; i < window.size(); ++i) {
        window[i] = static_cast<std::uint32_t>(i * 0x010203);
    }
    window[W + 4] = 0x00112233;
    Image scratch(cvCreateImage(cvSize(W, H), IPL_DEPTH_8U, 3));
    Image colour(cvCreateImage(cvSize(cols, rows), IPL_DEPTH_8U, 3));
    std::memset(colour->imageData, 0x5A, static_cast<std::size_t>(colour->imageSize));
    ASSERT_EQ(FillColourImage(window.data(), W, H, scratch.get(), colour.get()), 0);

    EXPECT_EQ(ColourRowBytes(cols), 304u);
    EXPECT_EQ(colour->widthStep, 304); // 303 bytes of pixels and one of padding
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(colour->imageData);
    const std::uint8_t* row1 = bytes + 304;
    EXPECT_EQ(row1[12], 0x33);
    EXPECT_EQ(row1[13], 0x22);
    EXPECT_EQ(row1[14], 0x11);
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < cols; ++x) {
            const std::uint32_t p = window[r * W + x];
            const std::uint8_t* px = bytes + r * 304 + 3 * x;
            ASSERT_EQ(px[0], p & 0xFF);
            ASSERT_EQ(px[1], p >> 8 & 0xFF);
            ASSERT_EQ(px[2], p >> 16 & 0xFF);
        }
        EXPECT_EQ(bytes[r * 304 + 303], 0);
    }
}

class DepthPassTest : public testing::Test {
protected:
    void SetUp() override { ResetStereoCall(); }

    DepthInput Input(int offsetX, int offsetY, int swapDepth = 0) const {
        DepthInput input{a.data(), b.data(), W,         H,
                         offsetX,  offsetY,  swapDepth, INITIAL_STEREO_PARAMETERS};
        input.parameters.maxDisparity = 20;
        return input;
    }

    // The grey level the matcher must see at (x, y) of the overlap for a view starting at
    // (startX, startY).
    static int Level(int salt, int startX, int startY, int x, int y) {
        return (salt + 7 * (startX + x) + 31 * (startY + y)) & 0xFF;
    }

    const int W = 40, H = 12;
    const Buffer a = PositionGreys(W, H, 0);
    const Buffer b = PositionGreys(W, H, 100);
};

TEST_F(DepthPassTest, TheMatcherSeesTheOverlapsAsGreyImages) {
    DepthPass pass;
    ASSERT_EQ(RunDepthPass(Input(5, -3), FakeStereo, &pass), DEPTH_DONE);
    const StereoCall& call = LastStereoCall();
    ASSERT_EQ(call.count, 1);
    EXPECT_EQ(call.mode, STEREO_MODE_BIRCHFIELD);
    ASSERT_EQ(call.left.cols, W - 5);
    ASSERT_EQ(call.left.rows, H - 3);
    ASSERT_EQ(call.right.size(), call.left.size());
    EXPECT_EQ(call.depthWidth, W - 5);
    EXPECT_EQ(call.depthHeight, H - 3);
    for (int y = 0; y < H - 3; ++y) {
        for (int x = 0; x < W - 5; ++x) {
            ASSERT_EQ(call.left.at<std::uint8_t>(y, x), Level(0, 5, 0, x, y)) << x << "," << y;
            ASSERT_EQ(call.right.at<std::uint8_t>(y, x), Level(100, 0, 3, x, y)) << x << "," << y;
        }
    }
}

TEST_F(DepthPassTest, ParametersReachTheMatcherInOrderAndTheMapComesBackUnscaled) {
    DepthInput input = Input(0, 0);
    input.parameters = {33, {1.5, -2.0, 3.25, 4.0, 12345.0}};
    DepthPass pass;
    ASSERT_EQ(RunDepthPass(input, FakeStereo, &pass), DEPTH_DONE);
    const StereoCall& call = LastStereoCall();
    EXPECT_EQ(call.maxDisparity, 33);
    const double expected[5] = {1.5, -2.0, 3.25, 4.0, 12345.0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(call.params[i], expected[i]) << i;
    }
    // (0, 0) uses the whole views.
    EXPECT_EQ(pass.overlap.cols, W);
    EXPECT_EQ(pass.overlap.rows, H);
    ASSERT_EQ(pass.map.size(), static_cast<std::size_t>(W * H));
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            ASSERT_EQ(pass.map[y * W + x], FakeDisparity(x, y)) << x << "," << y;
        }
    }
}

TEST_F(DepthPassTest, AReusedPassFollowsEachNewOffset) {
    DepthPass pass;
    for (const auto& [ox, oy] : {std::pair{0, 0}, {5, -3}, {5, -3}, {-9, 2}, {W, 0}, {1, 1}}) {
        SCOPED_TRACE(testing::Message() << "offset " << ox << "," << oy);
        ResetStereoCall();
        const Overlap o = ComputeOverlap(W, H, ox, oy);
        if (IsEmptyOverlap(o)) {
            EXPECT_EQ(RunDepthPass(Input(ox, oy), FakeStereo, &pass), DEPTH_NO_OVERLAP);
            EXPECT_TRUE(pass.map.empty());
            EXPECT_EQ(AlignedLeftEye(pass), nullptr);
            continue;
        }
        ASSERT_EQ(RunDepthPass(Input(ox, oy), FakeStereo, &pass), DEPTH_DONE);
        const StereoCall& call = LastStereoCall();
        ASSERT_EQ(call.left.cols, o.cols);
        ASSERT_EQ(call.left.rows, o.rows);
        EXPECT_EQ(call.left.at<std::uint8_t>(o.rows - 1, o.cols - 1),
                  Level(0, o.ax, o.ay, o.cols - 1, o.rows - 1));
        EXPECT_EQ(call.right.at<std::uint8_t>(o.rows - 1, o.cols - 1),
                  Level(100, o.bx, o.by, o.cols - 1, o.rows - 1));
        EXPECT_EQ(pass.map.size(), static_cast<std::size_t>(o.cols * o.rows));
    }
}

TEST_F(DepthPassTest, SwapGivesTheRightEyeToTheLeftButKeepsTheEyesApart) {
    DepthPass pass;
    ASSERT_EQ(RunDepthPass(Input(2, 1, 1), FakeStereo, &pass), DEPTH_DONE);
    const StereoCall& call = LastStereoCall();
    EXPECT_EQ(call.left.at<std::uint8_t>(0, 0), Level(100, 0, 0, 0, 0));
    EXPECT_EQ(call.right.at<std::uint8_t>(0, 0), Level(0, 2, 1, 0, 0));
    // The aligned eyes stay apart whatever went left.
    const std::uint32_t* viewA = AlignedLeftEye(pass);
    const std::uint32_t* viewB = AlignedRightEye(pass);
    ASSERT_NE(viewA, nullptr);
    ASSERT_NE(viewB, nullptr);
    EXPECT_EQ(viewA[0], a[1 * W + 2]);
    EXPECT_EQ(viewB[0], b[0]);
    EXPECT_EQ(viewA[W - 1], 0u); // outside the overlap's W - 2 columns
}

TEST_F(DepthPassTest, PassesThatCannotMatchNeverReachTheMatcher) {
    struct Case {
        int offsetX, offsetY, maxDisparity, status;
        const char* reason;
    };
    const Case cases[] = {
        {W, 0, 20, DEPTH_NO_OVERLAP, "don't overlap"},
        {0, -H, 20, DEPTH_NO_OVERLAP, "don't overlap"},
        {-W - 7, 3, 20, DEPTH_NO_OVERLAP, "don't overlap"},
        {W - 2, 0, 1, DEPTH_TOO_NARROW, "too narrow"},
        {W - 1, 0, 1, DEPTH_TOO_NARROW, "too narrow"},
        {0, 0, 0, DEPTH_BAD_MAX_DISPARITY, "maxDisparity: 1-39"},
        {0, 0, -4, DEPTH_BAD_MAX_DISPARITY, "maxDisparity: 1-39"},
        {30, 0, 10, DEPTH_BAD_MAX_DISPARITY, "maxDisparity: 1-9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offsetX << "," << c.offsetY
                                        << " maxDisparity " << c.maxDisparity);
        ResetStereoCall();
        DepthInput input = Input(c.offsetX, c.offsetY);
        input.parameters.maxDisparity = c.maxDisparity;
        DepthPass pass;
        EXPECT_EQ(RunDepthPass(input, FakeStereo, &pass), c.status);
        EXPECT_EQ(pass.status, c.status);
        EXPECT_EQ(LastStereoCall().count, 0);
        EXPECT_TRUE(pass.map.empty());
        // Views that do overlap stay available for saving.
        EXPECT_EQ(AlignedLeftEye(pass) != nullptr, c.status != DEPTH_NO_OVERLAP);
        char text[256];
        DepthStatusText(pass, text, sizeof text);
        EXPECT_NE(std::string(text).find(c.reason), std::string::npos) << text;
        EXPECT_LE(std::string(text).size(), STATUS_FITS) << text;
    }
}

TEST_F(DepthPassTest, TheLargestAllowedDisparityIsMatched) {
    DepthInput input = Input(W - 3, 0);
    input.parameters.maxDisparity = 2;
    DepthPass pass;
    EXPECT_EQ(RunDepthPass(input, FakeStereo, &pass), DEPTH_DONE);
    EXPECT_EQ(LastStereoCall().depthWidth, 3);
}

TEST_F(DepthPassTest, AMatcherRefusalIsReportedWithoutAMap) {
    ResetStereoCall(7);
    DepthPass pass;
    EXPECT_EQ(RunDepthPass(Input(0, 0), FakeStereo, &pass), DEPTH_STEREO_FAILED);
    EXPECT_EQ(pass.stereoResult, 7);
    EXPECT_TRUE(pass.map.empty());
    char text[256];
    DepthStatusText(pass, text, sizeof text);
    EXPECT_STREQ(text, "Param out of range");
    EXPECT_LE(std::string(text).size(), STATUS_FITS);

    ResetStereoCall();
    ASSERT_EQ(RunDepthPass(Input(0, 0), FakeStereo, &pass), DEPTH_DONE);
    DepthStatusText(pass, text, sizeof text);
    EXPECT_STREQ(text, "");
}

} // namespace
