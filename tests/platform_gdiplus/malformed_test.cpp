// Files that are not pictures, are cut short, claim absurd sizes or do not exist: an error
// status and no picture, never a crash.
#include "tests/platform_gdiplus/gdiplus_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace gdiplustest;

class MalformedFile : public ::testing::TestWithParam<const char*> {};

TEST_P(MalformedFile, IsRefused) {
    GpImage* image = reinterpret_cast<GpImage*>(0x1);
    EXPECT_NE(GdipLoadImageFromFile(Wide(DataFile(GetParam())).c_str(), &image), Ok);
    EXPECT_EQ(image, nullptr);
    UINT width = 0;
    EXPECT_EQ(GdipGetImageWidth(image, &width), InvalidParameter);
    EXPECT_EQ(width, 0u);
}

INSTANTIATE_TEST_SUITE_P(Data, MalformedFile,
                         ::testing::Values("truncated.png", "truncated.jpg", "truncated.gif",
                                           "truncated.tif", "zero_width.png", "text_named.jpg",
                                           "empty.gif", "huge_claim.png", "huge_claim.bmp",
                                           "no_such_file.png",
                                           "fuzz/picture_load/text_chunk_past_the_end.png",
                                           "fuzz/picture_load/rows_past_the_end.bmp"));

TEST(MalformedFile, MissingFilesAndFoldersHaveTheirOwnStatus) {
    GpImage* image = nullptr;
    EXPECT_EQ(GdipLoadImageFromFile(Wide(DataFile("no_such_file.png")).c_str(), &image),
              FileNotFound);
    EXPECT_NE(GdipLoadImageFromFile(Wide(DataFile("")).c_str(), &image), Ok);
    EXPECT_EQ(image, nullptr);
}

} // namespace
