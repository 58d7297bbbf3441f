// Saving: the time-stamp name, the file names, the side-by-side composition, and which view
// goes to which file whatever the matcher was given.
#include "recording_writer.h"
#include "stereo/save_results.h"
#include "stereo_fake.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Buffer = std::vector<std::uint32_t>;

Buffer Numbered(int W, int H, std::uint32_t tag) {
    Buffer view(static_cast<std::size_t>(W) * H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            view[y * W + x] = tag | static_cast<std::uint32_t>(y << 8 | x);
        }
    }
    return view;
}

std::tm July5th2024() {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 6;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 7;
    t.tm_sec = 3;
    return t;
}

TEST(SaveNames, BaseNameIsTheTimeStamp) {
    char name[BASE_NAME_SIZE];
    ASSERT_EQ(FormatBaseName(July5th2024(), name, sizeof name), 0);
    EXPECT_STREQ(name, "240705_09_07_03");

    std::tm late = July5th2024();
    late.tm_year = 2009 - 1900;
    late.tm_mon = 11;
    late.tm_mday = 31;
    late.tm_hour = 23;
    late.tm_min = 59;
    late.tm_sec = 59;
    ASSERT_EQ(FormatBaseName(late, name, sizeof name), 0);
    EXPECT_STREQ(name, "091231_23_59_59");

    char tiny[8];
    EXPECT_EQ(FormatBaseName(July5th2024(), tiny, sizeof tiny), 1);
    EXPECT_STREQ(tiny, "");
}

TEST(SaveNames, FourFilesNamedAfterTheBase) {
    const SaveNames here = MakeSaveNames("", "240705_09_07_03");
    EXPECT_EQ(here.adjusted, "240705_09_07_03_adjst.jpg");
    EXPECT_EQ(here.right, "240705_09_07_03_Right.png");
    EXPECT_EQ(here.left, "240705_09_07_03_Left.png");
    EXPECT_EQ(here.depth, "240705_09_07_03_depth.png");
    EXPECT_EQ(MakeSaveNames("out", "B").depth, "out/B_depth.png");
    EXPECT_EQ(MakeSaveNames("out/", "B").left, "out/B_Left.png");
}

TEST(AdjustedPair, ZeroOffsetPutsTheViewsSideBySideAsInTheSource) {
    const int W = 4, H = 3;
    const Buffer a = Numbered(W, H, 0x00A00000), b = Numbered(W, H, 0x00B00000);
    Buffer pair;
    ASSERT_EQ(ComposeAdjustedPair(W, H, a.data(), b.data(), 0, 0, &pair), SAVE_OK);
    ASSERT_EQ(pair.size(), static_cast<std::size_t>(2 * W * H));
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            EXPECT_EQ(pair[y * 2 * W + x], a[y * W + x]);
            EXPECT_EQ(pair[y * 2 * W + W + x], b[y * W + x]);
        }
    }
}

TEST(AdjustedPair, HorizontalOffsetCropsBothViews) {
    const int W = 30, H = 2;
    const Buffer a = Numbered(W, H, 0x00A00000), b = Numbered(W, H, 0x00B00000);
    ResetWritten();
    ASSERT_EQ(SaveAdjustedPair(H, a.data(), b.data(), W, 10, 0, "B_adjst.jpg", RECORDING_WRITER),
              SAVE_OK);
    ASSERT_EQ(Written().files.size(), 1u);
    const WrittenFile& file = Written().files[0];
    EXPECT_EQ(file.path, "B_adjst.jpg");
    EXPECT_EQ(file.format, IMAGE_FILE_JPEG);
    ASSERT_EQ(file.width, 2 * (W - 10));
    ASSERT_EQ(file.height, H);
    const int cols = W - 10;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < cols; ++x) {
            EXPECT_EQ(file.colour[y * 2 * cols + x], a[y * W + 10 + x]);   // A from column 10
            EXPECT_EQ(file.colour[y * 2 * cols + cols + x], b[y * W + x]); // B's first columns
        }
    }
}

TEST(AdjustedPair, NoOverlapWritesNothing) {
    const Buffer a(4, 1), b(4, 2);
    ResetWritten();
    EXPECT_EQ(SaveAdjustedPair(1, a.data(), b.data(), 4, -4, 0, "x", RECORDING_WRITER),
              SAVE_NO_OVERLAP);
    EXPECT_EQ(SaveAdjustedPair(1, a.data(), b.data(), 4, 0, 1, "x", RECORDING_WRITER),
              SAVE_NO_OVERLAP);
    EXPECT_TRUE(Written().files.empty());
    ResetWritten("adjst");
    EXPECT_EQ(SaveAdjustedPair(1, a.data(), b.data(), 4, 0, 0, "B_adjst.jpg", RECORDING_WRITER),
              SAVE_WRITE_FAILED);
}

class DepthFilesTest : public testing::Test {
protected:
    DepthPass Run(int offsetX, int offsetY, int swapDepth, int maxDisparity = 5) {
        ResetStereoCall();
        DepthInput input{a.data(), b.data(), W,         H,
                         offsetX,  offsetY,  swapDepth, INITIAL_STEREO_PARAMETERS};
        input.parameters.maxDisparity = maxDisparity;
        DepthPass pass;
        RunDepthPass(input, FakeStereo, &pass);
        return pass;
    }

    const int W = 12, H = 5;
    const Buffer a = Numbered(W, H, 0x00A00000);
    const Buffer b = Numbered(W, H, 0x00B00000);
    SaveNames names = MakeSaveNames("", "240705_09_07_03");
};

TEST_F(DepthFilesTest, TheLeftEyeIsSavedAsLeftWhicheverSideItWasMatchedOn) {
    for (int swapDepth : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "swapDepth " << swapDepth);
        const DepthPass pass = Run(3, -1, swapDepth);
        ASSERT_EQ(pass.status, DEPTH_DONE);
        ResetWritten();
        unsigned written = 0;
        ASSERT_EQ(WriteDepthFiles(pass, &names, RECORDING_WRITER, &written), SAVE_OK);
        EXPECT_EQ(written, unsigned{DEPTH_FILE_RIGHT | DEPTH_FILE_LEFT | DEPTH_FILE_MAP});
        const std::vector<WrittenFile>& files = Written().files;
        ASSERT_EQ(files.size(), 3u);
        EXPECT_EQ(files[0].path, "240705_09_07_03_Right.png");
        EXPECT_EQ(files[1].path, "240705_09_07_03_Left.png");
        EXPECT_EQ(files[2].path, "240705_09_07_03_depth.png");
        const int cols = W - 3, rows = H - 1;
        for (const WrittenFile& file : files) {
            EXPECT_EQ(file.width, cols);
            EXPECT_EQ(file.height, rows);
        }
        EXPECT_EQ(files[0].format, IMAGE_FILE_PNG);
        EXPECT_EQ(files[1].colour[0], a[3]);     // the left eye from (3, 0)
        EXPECT_EQ(files[0].colour[0], b[1 * W]); // the right eye from (0, 1)
        EXPECT_EQ(files[1].colour.back(), a[(rows - 1) * W + 3 + cols - 1]);
        EXPECT_EQ(files[2].grey[1], FakeDisparity(1, 0));
    }
}

TEST_F(DepthFilesTest, SkippedMatchingStillSavesTheViews) {
    const DepthPass pass = Run(0, 0, 0, 200);
    ASSERT_EQ(pass.status, DEPTH_BAD_MAX_DISPARITY);
    ResetWritten();
    unsigned written = 0;
    EXPECT_EQ(WriteDepthFiles(pass, &names, RECORDING_WRITER, &written), SAVE_OK);
    EXPECT_EQ(written, unsigned{DEPTH_FILE_RIGHT | DEPTH_FILE_LEFT});
    EXPECT_EQ(Written().files.size(), 2u);

    const DepthPass none = Run(W, 0, 0);
    ResetWritten();
    EXPECT_EQ(WriteDepthFiles(none, &names, RECORDING_WRITER, &written), SAVE_NO_OVERLAP);
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(Written().files.empty());
}

TEST_F(DepthFilesTest, AFailedWriteDoesNotStopTheOthers) {
    const DepthPass pass = Run(0, 0, 0);
    ResetWritten("_Right");
    unsigned written = 0;
    EXPECT_EQ(WriteDepthFiles(pass, &names, RECORDING_WRITER, &written), SAVE_WRITE_FAILED);
    EXPECT_EQ(written, unsigned{DEPTH_FILE_LEFT | DEPTH_FILE_MAP});
    EXPECT_EQ(Written().files.size(), 2u);
}

} // namespace
