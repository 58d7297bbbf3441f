// QIV_LoadImage into the current image window: placement, clipping, palettes and failures.
#include "tests/files/file_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace filetest;

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override { ResetImageWindowTable(); }
    TempFolder dir;
};

// Saves a width × height picture with pixel (x, y) = x * 0x010000 + y * 0x000100 + 7.
std::string SavePattern(const TempFolder& dir, const std::string& name, int width, int height,
                        int format) {
    FakeImageWindow source(200, width, height, 32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            source.At32(x, y) =
                static_cast<std::uint32_t>(((x & 0xFF) << 16) | ((y & 0xFF) << 8) | 7);
        }
    }
    QIV_SelectImage(200);
    EXPECT_EQ(QIV_SaveImage(width, height, format, dir.Path(name).c_str()), 0);
    QIV_RestoreImage();
    return dir.Path(name);
}

TEST_F(LoadTest, SmallPictureChangesOnlyTheTopLeftCornerAndTheWindowKeepsItsSize) {
    const std::string path = SavePattern(dir, "small.png", 100, 50, 3);
    FakeImageWindow window(0, 640, 480, 32);
    window.Fill(0xFFFFFF);
    ASSERT_EQ(QIV_SelectImage(0), 0);
    ASSERT_EQ(QIV_LoadImage(path.c_str(), 0, 0), 0);
    EXPECT_EQ(qiv_image[0].width, 640);
    EXPECT_EQ(qiv_image[0].height, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const std::uint32_t want = x < 100 && y < 50 ? ((x << 16) | (y << 8) | 7) : 0xFFFFFFu;
            ASSERT_EQ(window.At32(x, y), want) << x << "," << y;
        }
    }
}

TEST_F(LoadTest, LargerOrShiftedPicturesAreClipped) {
    const std::string path = SavePattern(dir, "large.bmp", 50, 40, 0);
    FakeImageWindow window(3, 20, 10, 32);
    window.Fill(0);
    qiv_target = 3;
    ASSERT_EQ(QIV_LoadImage(path.c_str(), -5, -2), 0);
    EXPECT_EQ(window.At32(0, 0), (5u << 16) | (2u << 8) | 7);
    EXPECT_EQ(window.At32(19, 9), (24u << 16) | (11u << 8) | 7);
    window.Fill(0);
    ASSERT_EQ(QIV_LoadImage(path.c_str(), 15, 8), 0);
    EXPECT_EQ(window.At32(14, 7), 0u);
    EXPECT_EQ(window.At32(15, 8), 7u);
    EXPECT_EQ(window.At32(19, 9), (4u << 16) | (1u << 8) | 7);
}

TEST_F(LoadTest, EightBitWindowTakesOverThePicturesPalette) {
    const std::vector<std::uint32_t> table = TestTable();
    std::string path;
    {
        FakeImageWindow source(201, 7, 3, 8);
        source.SetTable(table);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                source.At8(x, y) = static_cast<std::uint8_t>(y * 40 + x * 3 + 1);
            }
        }
        qiv_target = 201;
        path = dir.Path("eight.bmp");
        ASSERT_EQ(QIV_SaveImage(7, 3, 0, path.c_str()), 0);
    }
    FakeImageWindow window(4, 10, 10, 8);
    window.Fill(0);
    qiv_target = 4;
    ASSERT_EQ(QIV_LoadImage(path.c_str(), 1, 1), 0);
    EXPECT_EQ(window.Table(), table);
    EXPECT_EQ(window.At8(0, 0), 0);
    EXPECT_EQ(window.At8(1, 1), 1);
    EXPECT_EQ(window.At8(7, 3), static_cast<std::uint8_t>(2 * 40 + 6 * 3 + 1));
    // A picture without a palette leaves the table alone.
    window.SetTable(std::vector<std::uint32_t>(256, 0x00FF00));
    const std::string rgb = SavePattern(dir, "rgb.png", 2, 2, 3);
    qiv_target = 4;
    ASSERT_EQ(QIV_LoadImage(rgb.c_str(), 0, 0), 0);
    EXPECT_EQ(window.Table(), std::vector<std::uint32_t>(256, 0x00FF00));
}

TEST_F(LoadTest, UnreadableFilesAndInvalidWindowsLeaveTheWindowUnchanged) {
    FakeImageWindow window(5, 8, 8, 32);
    window.Fill(0x123456);
    qiv_target = 5;
    const std::string data = QIV_TEST_DATA;
    for (const char* name : {"truncated.png", "truncated.jpg", "text_named.jpg", "zero_width.png",
                             "huge_claim.png", "missing.png"}) {
        EXPECT_EQ(QIV_LoadImage((data + "/" + name).c_str(), 0, 0), 1) << name;
    }
    EXPECT_EQ(QIV_LoadImage(std::string(300, 'a').c_str(), 0, 0), 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(window.At32(x, y), 0x123456u);
        }
    }
    const std::string path = SavePattern(dir, "ok.png", 2, 2, 3);
    qiv_target = 6; // not in use
    EXPECT_EQ(QIV_LoadImage(path.c_str(), 0, 0), 2);
    qiv_target = -1;
    EXPECT_EQ(QIV_LoadImage(path.c_str(), 0, 0), 2);
    qiv_target = 256;
    EXPECT_EQ(QIV_LoadImage(path.c_str(), 0, 0), 2);
}

} // namespace
