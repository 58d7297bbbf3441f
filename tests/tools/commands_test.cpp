// qiv-scene and qiv-disparity as a user runs them.
#include "tests/support/temp_folder.h"
#include "tools/scene/stereo_scene.h"

#include <opencv2/imgcodecs.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <opencv2/core.hpp>

namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Commands : public testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.Path(name); }
    TempFolder dir_;
};

const std::string DISPARITY = QIV_DISPARITY;
const std::string SCENE = QIV_SCENE;

// A layered pair written by qiv-scene comes back from qiv-disparity close to its ground truth,
// with colour inputs giving the same map as their grey conversion.
TEST_F(Commands, SceneThenDisparity) {
    ASSERT_EQ(Shell(SCENE + " layers " + Path("l.png") + " " + Path("r.png") + " " + Path("t.png") +
                    " 160 60 30 4"),
              0);
    ASSERT_EQ(
        Shell(DISPARITY + " " + Path("l.png") + " " + Path("r.png") + " " + Path("d.png") + " 30"),
        0);
    const cv::Mat map = cv::imread(Path("d.png"), cv::IMREAD_UNCHANGED);
    const cv::Mat truth = cv::imread(Path("t.png"), cv::IMREAD_UNCHANGED);
    ASSERT_EQ(map.type(), CV_8UC1);
    ASSERT_EQ(map.size(), cv::Size(160, 60));
    EXPECT_LT(cv::countNonZero(map != truth), 160 * 60 / 5);

    // The same pair as colour images.
    cv::Mat colour;
    cv::merge(std::vector{cv::imread(Path("l.png"), cv::IMREAD_GRAYSCALE),
                          cv::imread(Path("l.png"), cv::IMREAD_GRAYSCALE),
                          cv::imread(Path("l.png"), cv::IMREAD_GRAYSCALE)},
              colour);
    ASSERT_TRUE(cv::imwrite(Path("lc.png"), colour));
    ASSERT_EQ(Shell(DISPARITY + " " + Path("lc.png") + " " + Path("r.png") + " " + Path("d2.png") +
                    " 30 15 3 6 8 15"),
              0);
    EXPECT_EQ(cv::countNonZero(cv::imread(Path("d2.png"), cv::IMREAD_UNCHANGED) != map), 0);
}

TEST_F(Commands, DisparityRefusesBadArgumentsAndFiles) {
    ASSERT_EQ(Shell(SCENE + " layers " + Path("l.png") + " " + Path("r.png") + " " + Path("t.png") +
                    " 40 10 8"),
              0);
    const std::string pair = " " + Path("l.png") + " " + Path("r.png") + " " + Path("d.png");
    EXPECT_EQ(Shell(DISPARITY), 2);
    EXPECT_EQ(Shell(DISPARITY + pair + " ten"), 2);
    EXPECT_EQ(Shell(DISPARITY + pair + " 10.5"), 2);
    EXPECT_EQ(Shell(DISPARITY + pair + " 10 1 2 3 4"), 2);
    EXPECT_EQ(Shell(DISPARITY + pair + " 10 1 2 x 4 5"), 2);
    // One parser with qivstereo's: no hexadecimal, no spaces; a large whole number is one.
    EXPECT_EQ(Shell(DISPARITY + pair + " 0x10"), 2);
    EXPECT_EQ(Shell(DISPARITY + pair + " ' 16'"), 2);
    EXPECT_EQ(Shell(DISPARITY + pair + " 10000000"), 4);
    EXPECT_EQ(
        Shell(DISPARITY + " " + Path("missing.png") + " " + Path("r.png") + " " + Path("d.png")),
        3);
    // The two are read at once, but only the first refusal is told, as if read in turn.
    const int both = std::system((DISPARITY + " " + Path("missing.png") + " " + Path("gone.png") +
                                  " " + Path("d.png") + " 2>" + Path("err.txt"))
                                     .c_str());
    EXPECT_EQ(WIFEXITED(both) ? WEXITSTATUS(both) : -1, 3);
    const std::string told = FileContents(Path("err.txt"));
    EXPECT_NE(told.find("missing.png"), std::string::npos) << told;
    EXPECT_EQ(told.find("gone.png"), std::string::npos) << told;
    {
        std::FILE* f = std::fopen(Path("junk.png").c_str(), "wb");
        std::fputs("\x89PNG not really", f);
        std::fclose(f);
    }
    EXPECT_EQ(Shell(DISPARITY + " " + Path("junk.png") + " " + Path("r.png") + " " + Path("d.png")),
              3);
    EXPECT_EQ(Shell(DISPARITY + pair + " 40"), 4); // not less than the width
    EXPECT_EQ(Shell(DISPARITY + pair + " 8 1e300 3 6 8 15"), 4);
    ASSERT_EQ(Shell(SCENE + " layers " + Path("w.png") + " " + Path("r2.png") + " " +
                    Path("t2.png") + " 41 10 8"),
              0);
    EXPECT_EQ(Shell(DISPARITY + " " + Path("w.png") + " " + Path("r.png") + " " + Path("d.png")),
              4);
    EXPECT_FALSE(fs::exists(Path("d.png")));
    EXPECT_EQ(Shell(DISPARITY + pair + " 8"), 0);
    EXPECT_TRUE(fs::exists(Path("d.png")));
    EXPECT_EQ(Shell(DISPARITY + pair.substr(0, pair.size() - 5) + "nowhere/d.png 8"), 5);
    EXPECT_EQ(Shell(DISPARITY + " " + Path("l.png") + " " + Path("r.png") + " " +
                    Path("d.unknownformat") + " 8"),
              5);
}

// The sample photograph: a side-by-side JPEG of the requested size.
TEST_F(Commands, SampleIsASideBySideJpeg) {
    ASSERT_EQ(Shell(SCENE + " sample " + Path("s.jpg") + " 320 120"), 0);
    const cv::Mat sample = cv::imread(Path("s.jpg"));
    ASSERT_EQ(sample.size(), cv::Size(320, 120));
    EXPECT_EQ(Shell(SCENE + " sample " + Path("s.jpg") + " 321 120"), 2);
    EXPECT_EQ(Shell(SCENE + " nonsense"), 2);
}

} // namespace
