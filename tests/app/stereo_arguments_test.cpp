// cvFindStereoCorrespondence refuses what it cannot match, leaving the depth image untouched,
// and reads IplImage and CvMat headers as OpenCV lays them out.
#include "tests/app/matcher_test_support.h"
#include "tests/support/watchdog.h"
#include "tools/scene/stereo_scene.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <thread>

namespace {

constexpr double PRESET[5] = {15, 3, 6, 8, 15};

struct Images {
    IplImage* left;
    IplImage* right;
    IplImage* depth;
    explicit Images(int w, int h, int depth8 = IPL_DEPTH_8U, int channels = 1)
        : left(cvCreateImage(cvSize(w, h), IPL_DEPTH_8U, 1)),
          right(cvCreateImage(cvSize(w, h), IPL_DEPTH_8U, 1)),
          depth(cvCreateImage(cvSize(w, h), depth8, channels)) {
        for (IplImage* image : {left, right}) {
            for (int i = 0; i < image->imageSize; ++i) {
                image->imageData[i] = char(i * 37 % 251);
            }
        }
        std::fill(depth->imageData, depth->imageData + depth->imageSize, char(0x5A));
    }
    ~Images() {
        cvReleaseImage(&left);
        cvReleaseImage(&right);
        cvReleaseImage(&depth);
    }
    bool DepthUntouched() const {
        return std::all_of(depth->imageData, depth->imageData + depth->imageSize,
                           [](char c) { return c == char(0x5A); });
    }
    int Run(int maxDisparity, const double p[5] = PRESET, int mode = CV_DISPARITY_BIRCHFIELD) {
        return cvFindStereoCorrespondence(left, right, mode, depth, maxDisparity, p[0], p[1], p[2],
                                          p[3], p[4]);
    }
};

class Arguments : public DeadlineTest {};

TEST_F(Arguments, MaxDisparityOutsideOneToWidthMinusOneOr255) {
    {
        Images images(20, 4);
        for (int d : {0, -1, 20, 21, INT_MIN}) {
            EXPECT_EQ(images.Run(d), STEREO_ERR_MAX_DISPARITY) << d;
        }
        EXPECT_TRUE(images.DepthUntouched());
        EXPECT_EQ(images.Run(19), STEREO_OK);
    }
    Images wide(300, 2);
    EXPECT_EQ(wide.Run(256), STEREO_ERR_MAX_DISPARITY);
    EXPECT_TRUE(wide.DepthUntouched());
    EXPECT_EQ(wide.Run(255), STEREO_OK);
}

TEST_F(Arguments, TooSmallImages) {
    for (int w : {1, 2}) {
        Images images(w, 5);
        EXPECT_EQ(images.Run(1), STEREO_ERR_TOO_SMALL) << w;
        EXPECT_TRUE(images.DepthUntouched());
    }
    uint8_t data[16] = {};
    CvMat empty = cvMat(0, 8, CV_8UC1, data);
    EXPECT_EQ(cvFindStereoCorrespondence(&empty, &empty, CV_DISPARITY_BIRCHFIELD, &empty, 3, 15, 3,
                                         6, 8, 15),
              STEREO_ERR_TOO_SMALL);
    Images smallest(3, 1);
    EXPECT_EQ(smallest.Run(2), STEREO_OK);
}

TEST_F(Arguments, NullModeTypesAndSizes) {
    Images images(16, 6);
    EXPECT_EQ(cvFindStereoCorrespondence(nullptr, images.right, 0, images.depth, 4, 1, 1, 1, 1, 1),
              STEREO_ERR_NULL);
    EXPECT_EQ(cvFindStereoCorrespondence(images.left, nullptr, 0, images.depth, 4, 1, 1, 1, 1, 1),
              STEREO_ERR_NULL);
    EXPECT_EQ(cvFindStereoCorrespondence(images.left, images.right, 0, nullptr, 4, 1, 1, 1, 1, 1),
              STEREO_ERR_NULL);
    EXPECT_EQ(images.Run(4, PRESET, 1), STEREO_ERR_MODE);
    EXPECT_EQ(images.Run(4, PRESET, -1), STEREO_ERR_MODE);
    EXPECT_TRUE(images.DepthUntouched());

    Images colourDepth(16, 6, IPL_DEPTH_8U, 3);
    EXPECT_EQ(colourDepth.Run(4), STEREO_ERR_TYPE);
    EXPECT_TRUE(colourDepth.DepthUntouched());
    Images wideDepth(16, 6, IPL_DEPTH_16U, 1);
    EXPECT_EQ(wideDepth.Run(4), STEREO_ERR_TYPE);
    EXPECT_TRUE(wideDepth.DepthUntouched());

    // A channel of interest cannot be matched; nor can something that is no image header.
    cvSetImageCOI(images.left, 1);
    EXPECT_EQ(images.Run(4), STEREO_ERR_TYPE);
    cvSetImageCOI(images.left, 0);
    int notAHeader[64] = {};
    EXPECT_EQ(
        cvFindStereoCorrespondence(notAHeader, images.right, 0, images.depth, 4, 1, 1, 1, 1, 1),
        STEREO_ERR_TYPE);
    std::vector<uint16_t> words(16 * 6);
    CvMat wordMat = cvMat(6, 16, CV_16UC1, words.data());
    EXPECT_EQ(cvFindStereoCorrespondence(images.left, &wordMat, 0, images.depth, 4, 1, 1, 1, 1, 1),
              STEREO_ERR_TYPE);

    Images other(17, 6);
    EXPECT_EQ(
        cvFindStereoCorrespondence(images.left, other.right, 0, images.depth, 4, 1, 1, 1, 1, 1),
        STEREO_ERR_SIZE);
    Images shorter(16, 5);
    EXPECT_EQ(
        cvFindStereoCorrespondence(images.left, images.right, 0, shorter.depth, 4, 1, 1, 1, 1, 1),
        STEREO_ERR_SIZE);
    EXPECT_TRUE(images.DepthUntouched());
    EXPECT_TRUE(shorter.DepthUntouched());
}

TEST_F(Arguments, ParametersThatCannotBeUsed) {
    Images images(64, 3);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 5; ++i) {
        for (double bad : {nan, inf, -inf, 3e9, -3e9}) {
            double p[5] = {15, 3, 6, 8, 15};
            p[i] = bad;
            EXPECT_EQ(images.Run(10, p), STEREO_ERR_PARAMETER) << i << " " << bad;
        }
    }
    EXPECT_TRUE(images.DepthUntouched());
    // Run lengths may be anything an int holds; penalties only what keeps the sums in range.
    const double runs[5] = {15, 3, 2e9, -2e9, 2e9};
    EXPECT_EQ(images.Run(10, runs), STEREO_OK);
    const int64_t limit = (stereo::BIG / 2 - 1) / (2 * 64 + 10) - 255;
    for (int i = 0; i < 2; ++i) {
        double p[5] = {15, 3, 6, 8, 15};
        p[i] = double(limit);
        EXPECT_EQ(images.Run(10, p), STEREO_OK);
        p[i] = -double(limit);
        EXPECT_EQ(images.Run(10, p), STEREO_OK);
        p[i] = double(limit + 1);
        EXPECT_EQ(images.Run(10, p), STEREO_ERR_PARAMETER);
        p[i] = -double(limit + 1);
        EXPECT_EQ(images.Run(10, p), STEREO_ERR_PARAMETER);
    }
}

// An IplImage's rows are padded to 4 bytes and its ROI selects a window; a CvMat may have any
// row step. Each gives the map of the plain pixels it shows.
TEST_F(Arguments, HeadersRowStepsAndRegionsOfInterest) {
    const int w = 101, h = 23, d = 30;
    const scene::StereoPair s = scene::RenderLayers(w, h, scene::RandomLayers(w, h, d, 8));
    const GreyPair pair{w, h, s.left.pixels, s.right.pixels};
    const std::vector<uint8_t> expected = Reference(pair, WithDisparity(DEFAULT2, d));

    Images padded(w, h);
    ASSERT_GT(padded.left->widthStep, w);
    for (int y = 0; y < h; ++y) {
        std::copy_n(&pair.left[size_t(y) * w], w,
                    padded.left->imageData + y * padded.left->widthStep);
        std::copy_n(&pair.right[size_t(y) * w], w,
                    padded.right->imageData + y * padded.right->widthStep);
    }
    ASSERT_EQ(padded.Run(d), STEREO_OK);
    for (int y = 0; y < h; ++y) {
        ASSERT_TRUE(std::equal(expected.begin() + y * w, expected.begin() + (y + 1) * w,
                               reinterpret_cast<uint8_t*>(padded.depth->imageData) +
                                   y * padded.depth->widthStep))
            << y;
        // The padding stays as it was.
        EXPECT_EQ(padded.depth->imageData[y * padded.depth->widthStep + w], char(0x5A));
    }

    // The same pixels as the ROI of larger images, and as CvMats with a wide step.
    Images larger(w + 9, h + 5);
    const CvRect roi = cvRect(4, 3, w, h);
    for (IplImage* image : {larger.left, larger.right, larger.depth}) {
        cvSetImageROI(image, roi);
    }
    for (int y = 0; y < h; ++y) {
        std::copy_n(&pair.left[size_t(y) * w], w,
                    larger.left->imageData + (y + 3) * larger.left->widthStep + 4);
        std::copy_n(&pair.right[size_t(y) * w], w,
                    larger.right->imageData + (y + 3) * larger.right->widthStep + 4);
    }
    ASSERT_EQ(larger.Run(d), STEREO_OK);
    for (int y = 0; y < h + 5; ++y) {
        for (int x = 0; x < w + 9; ++x) {
            const uint8_t got = uint8_t(larger.depth->imageData[y * larger.depth->widthStep + x]);
            const bool inside = x >= 4 && x < 4 + w && y >= 3 && y < 3 + h;
            ASSERT_EQ(got, inside ? expected[size_t(y - 3) * w + x - 4] : 0x5A) << x << "," << y;
        }
    }

    const int step = w + 13;
    std::vector<uint8_t> l(size_t(step) * h), r(size_t(step) * h), out(size_t(step) * h);
    for (int y = 0; y < h; ++y) {
        std::copy_n(&pair.left[size_t(y) * w], w, &l[size_t(y) * step]);
        std::copy_n(&pair.right[size_t(y) * w], w, &r[size_t(y) * step]);
    }
    CvMat lm = cvMat(h, w, CV_8UC1, l.data()), rm = cvMat(h, w, CV_8UC1, r.data()),
          om = cvMat(h, w, CV_8UC1, out.data());
    lm.step = rm.step = om.step = step;
    ASSERT_EQ(cvFindStereoCorrespondence(&lm, &rm, 0, &om, d, 15, 3, 6, 8, 15), STEREO_OK);
    for (int y = 0; y < h; ++y) {
        ASSERT_TRUE(std::equal(expected.begin() + y * w, expected.begin() + (y + 1) * w,
                               out.begin() + size_t(y) * step));
    }
}

// The depth image may be the left or the right image itself.
TEST_F(Arguments, DepthMayBeAnInput) {
    const int w = 64, h = 9;
    const scene::StereoPair s = scene::RenderLayers(w, h, scene::RandomLayers(w, h, 20, 4));
    const GreyPair pair{w, h, s.left.pixels, s.right.pixels};
    const std::vector<uint8_t> expected = Reference(pair, WithDisparity(DEFAULT1, 20));
    for (int which = 0; which < 2; ++which) {
        std::vector<uint8_t> l = pair.left, r = pair.right;
        CvMat lm = cvMat(h, w, CV_8UC1, l.data()), rm = cvMat(h, w, CV_8UC1, r.data());
        CvMat* depth = which == 0 ? &lm : &rm;
        ASSERT_EQ(cvFindStereoCorrespondence(&lm, &rm, 0, depth, 20, 25, 5, 12, 15, 25), STEREO_OK);
        EXPECT_EQ(which == 0 ? l : r, expected);
    }
}

TEST_F(Arguments, EveryResultHasItsOwnText) {
    std::set<std::string> texts;
    for (int code = STEREO_OK; code <= STEREO_CANCELLED; ++code) {
        texts.insert(StereoResultText(code));
    }
    EXPECT_EQ(texts.size(), size_t(STEREO_CANCELLED + 1));
    EXPECT_EQ(texts.count(StereoResultText(-5)), 0u);
}

// A match called off before it starts or while it runs on another thread gives up and writes
// nothing.
TEST_F(Arguments, ACancelledMatchLeavesTheDepthImageUntouched) {
    Images images(1600, 1200);
    std::atomic<bool> cancel{true};
    EXPECT_EQ(FindStereoCorrespondenceCancellable(images.left, images.right, 0, images.depth, 200,
                                                  15, 3, 6, 8, 15, &cancel),
              STEREO_CANCELLED);
    EXPECT_TRUE(images.DepthUntouched());

    // Far longer than starting a thread, so the flag comes during the match.
    cancel = false;
    int result = -1;
    std::thread match([&] {
        result = FindStereoCorrespondenceCancellable(images.left, images.right, 0, images.depth,
                                                     200, 15, 3, 6, 8, 15, &cancel);
    });
    cancel = true;
    match.join();
    EXPECT_EQ(result, STEREO_CANCELLED);
    EXPECT_TRUE(images.DepthUntouched());
}

} // namespace
