// Batch mode end to end over in-memory files: refusals before anything is written, the split of
// odd-width sources, the five files in order with their paths printed, and the image files.
#include "recording_writer.h"
#include "stereo/batch.h"
#include "stereo/photo_files.h"
#include "stereo/stereo_matcher.h"
#include "stereo_fake.h"
#include "tests/support/stereo_pairs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::map<std::string, PixelImage>& Files() {
    static std::map<std::string, PixelImage> files;
    return files;
}

int ReadFromMemory(const char* path, PixelImage* image, std::string*) {
    const auto found = Files().find(path);
    if (found == Files().end()) {
        return IMAGE_IO_READ_FAILED;
    }
    *image = found->second;
    return IMAGE_IO_OK;
}

const BatchServices FAKE_SERVICES = {ReadFromMemory, RECORDING_WRITER, FakeStereo};

// A side-by-side source whose pixels encode their column and row.
PixelImage SideBySide(int width, int height) {
    PixelImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(static_cast<std::uint32_t>(y << 12 | x));
        }
    }
    return image;
}

// Runs the batch with output and messages captured.
struct BatchRun {
    int status = -1;
    std::string out;
    std::string err;
};

BatchRun RunBatchWith(std::vector<const char*> args,
                      const BatchServices& services = FAKE_SERVICES) {
    args.insert(args.begin(), "qivstereo");
    BatchOptions options;
    std::string message;
    BatchRun run;
    if (ParseBatchArguments(static_cast<int>(args.size()), args.data(), &options, &message) !=
        BATCH_OK) {
        run.status = BATCH_USAGE;
        run.err = message;
        return run;
    }
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0, errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    run.status = RunBatch(options, services, "240705_09_07_03", out, err);
    std::fclose(out);
    std::fclose(err);
    run.out = outText;
    run.err = errText;
    std::free(outText);
    std::free(errText);
    return run;
}

class BatchTest : public testing::Test {
protected:
    void SetUp() override {
        Files().clear();
        Files()["pair.png"] = SideBySide(201, 30); // W = 100, last column ignored
        ResetWritten();
        ResetStereoCall();
    }
    TempFolder dir;
};

TEST_F(BatchTest, WritesTheFiveFilesInOrderAndPrintsTheirPaths) {
    const BatchRun run = RunBatchWith({"--batch", "pair.png", "--offset", "4,-2", "--max-disparity",
                                       "50", "--out", dir.path.c_str()});
    ASSERT_EQ(run.status, BATCH_OK) << run.err;
    const std::string base = dir.path + "/240705_09_07_03";
    const std::vector<std::string> paths = {base + "_adjst.jpg", base + "_Right.png",
                                            base + "_Left.png", base + "_depth.png",
                                            base + "_anaglyph.png"};
    std::string printed;
    for (const std::string& p : paths) {
        printed += p + "\n";
    }
    EXPECT_EQ(run.out, printed);
    EXPECT_EQ(run.err, "");
    const std::vector<WrittenFile>& files = Written().files;
    ASSERT_EQ(files.size(), 5u);
    const int cols = 96, rows = 28;
    EXPECT_EQ(files[0].width, 2 * cols);
    EXPECT_EQ(files[0].format, IMAGE_FILE_JPEG);
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].path, paths[i]);
        EXPECT_EQ(files[i].height, rows);
        if (i > 0) {
            EXPECT_EQ(files[i].width, cols);
        }
    }
    // Parallel: the left eye is the source's left half from (4, 0), the right eye its right
    // half from (0, 2).
    EXPECT_EQ(files[2].colour[0], static_cast<std::uint32_t>(0 << 12 | 4));
    EXPECT_EQ(files[1].colour[0], static_cast<std::uint32_t>(2 << 12 | 100));
    // The last source column (200) belongs to neither view.
    EXPECT_EQ(files[1].colour[cols - 1], static_cast<std::uint32_t>(2 << 12 | (100 + cols - 1)));
    // The anaglyph's green and blue are the right eye's.
    EXPECT_EQ(files[4].colour[0] & 0xFFFF, files[1].colour[0] & 0xFFFF);
    // The depth pass ran with the given maxDisparity and the "default2" parameters.
    const StereoCall& call = LastStereoCall();
    EXPECT_EQ(call.count, 1);
    EXPECT_EQ(call.maxDisparity, 50);
    EXPECT_EQ(call.params[0], 15.0);
    EXPECT_EQ(call.params[4], 15.0);
}

TEST_F(BatchTest, RefusesWhatCannotBeDoneBeforeWritingAnything) {
    Files()["narrow.png"] = SideBySide(1, 10);
    Files()["small.png"] = SideBySide(100, 10); // W = 50
    const std::string file = dir.path + "/plain-file";
    std::ofstream(file) << "x";
    const std::string missing = dir.path + "/missing";
    struct Case {
        std::vector<const char*> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--batch", "absent.png", "--out", dir.path.c_str()}, "cannot read 'absent.png'"},
        {{"--batch", "pair.png", "--out", missing.c_str()}, "not a writable directory"},
        {{"--batch", "pair.png", "--out", file.c_str()}, "not a writable directory"},
        {{"--batch", "narrow.png", "--out", dir.path.c_str()}, "at least 2"},
        {{"--batch", "pair.png", "--offset", "100,0", "--out", dir.path.c_str()},
         "--offset 100,0 leaves no overlap between the two 100 x 30 views"},
        {{"--batch", "pair.png", "--offset", "0,-31", "--out", dir.path.c_str()}, "no overlap"},
        {{"--batch", "pair.png", "--layout", "crossed", "--out", dir.path.c_str()},
         "neither parallel nor cross"},
        {{"--batch", "pair.png", "--auto-align", "--out", dir.path.c_str()},
         "auto: views too small (at least 32 x 32); nothing changed"},
    };
    for (const Case& c : cases) {
        ResetWritten();
        const BatchRun run = RunBatchWith(c.args);
        EXPECT_EQ(run.status, BATCH_USAGE) << c.reason;
        EXPECT_NE(run.err.find(c.reason), std::string::npos)
            << "expected '" << c.reason << "' in '" << run.err << "'";
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Written().files.empty()) << c.reason;
    }
    EXPECT_EQ(LastStereoCall().count, 0);
}

// The alignment's offsets, range and matcher order reach the depth pass; its summary is printed.
TEST_F(BatchTest, AutoAlignFeedsTheAlignedPairToTheMatcher) {
    const int W = 400, H = 300;
    scene::Layer back{-W, 0, 2 * W, H};
    back.disparity = 5;
    back.blockWidth = back.blockHeight = 3;
    scene::Layer front{100, 60, 260, 220};
    front.disparity = 25;
    front.texture = scene::Texture::NOISE;
    const stereo_pairs::Eyes eyes =
        stereo_pairs::FromScene(scene::RenderLayers(W, H, {back, front}));
    PixelImage source;
    source.width = 2 * W;
    source.height = H;
    for (int y = 0; y < H; ++y) {
        const auto row = static_cast<std::ptrdiff_t>(y) * W;
        source.pixels.insert(source.pixels.end(), eyes.left.begin() + row,
                             eyes.left.begin() + row + W);
        source.pixels.insert(source.pixels.end(), eyes.right.begin() + row,
                             eyes.right.begin() + row + W);
    }
    Files()["scene.png"] = source;
    const BatchRun run =
        RunBatchWith({"--batch", "scene.png", "--auto-align", "--out", dir.path.c_str()});
    EXPECT_EQ(run.status, BATCH_OK) << run.err;
    EXPECT_NE(run.err.find("auto: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("swap_depth 1"), std::string::npos) << run.err;
    // The near layer comes to the screen (window about 25), the background 20 behind it, plus
    // the margin of 8.
    const StereoCall& call = LastStereoCall();
    const int window = W - call.depthWidth;
    EXPECT_NEAR(window, 25, 1);
    EXPECT_NEAR(call.maxDisparity, 28, 1);
    EXPECT_EQ(call.depthHeight, H) << "no vertical shift";
    // swap_depth 1: the right eye is the matcher's first image; the window cuts the left eye's
    // first columns.
    EXPECT_EQ(call.left.at<std::uint8_t>(10, 10), eyes.right[10 * W + 10] & 0xFF);
    EXPECT_EQ(call.right.at<std::uint8_t>(10, 10), eyes.left[10 * W + 10 + window] & 0xFF);
}

TEST_F(BatchTest, APairTooSmallForTheMapGetsTheOtherFilesAndTheReason) {
    Files()["small.png"] = SideBySide(100, 10); // W = 50
    struct Case {
        std::vector<const char*> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--batch", "small.png", "--out", dir.path.c_str()},
         "the default maxDisparity 100 is too large for a 50-pixel-wide overlap (at most 49)"},
        {{"--batch", "pair.png", "--offset", "-60,0", "--max-disparity", "40", "--out",
          dir.path.c_str()},
         "--max-disparity 40 is too large for a 40-pixel-wide overlap (at most 39)"},
        {{"--batch", "pair.png", "--offset", "98,0", "--out", dir.path.c_str()}, "too narrow"},
    };
    for (const Case& c : cases) {
        ResetWritten();
        const BatchRun run = RunBatchWith(c.args);
        EXPECT_EQ(run.status, BATCH_FAILED) << c.reason;
        EXPECT_NE(run.err.find("no disparity map"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(Written().files.size(), 4u) << "pair, both eyes and the anaglyph";
        EXPECT_EQ(run.out.find("_depth.png"), std::string::npos);
    }
}

TEST_F(BatchTest, CrossLayoutTakesTheLeftEyeFromTheRightHalfAndIsTheDefaultForJps) {
    Files()["pair.jps"] = Files()["pair.png"];
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"--batch", "pair.png", "--layout", "cross"},
          std::vector<const char*>{"--batch", "pair.jps"}}) {
        ResetWritten();
        std::vector<const char*> all = args;
        all.insert(all.end(), {"--max-disparity", "20", "--out", dir.path.c_str()});
        ASSERT_EQ(RunBatchWith(all).status, BATCH_OK);
        const std::vector<WrittenFile>& files = Written().files;
        ASSERT_EQ(files.size(), 5u);
        EXPECT_EQ(files[2].colour[0], static_cast<std::uint32_t>(100)) << "_Left: right half";
        EXPECT_EQ(files[1].colour[0], 0u) << "_Right: left half";
        EXPECT_EQ(files[0].colour[0], 0u) << "the pair keeps the source's halves";
    }
    ResetWritten();
    ASSERT_EQ(RunBatchWith({"--batch", "pair.jps", "--layout", "parallel", "--out",
                            dir.path.c_str(), "--max-disparity", "20"})
                  .status,
              BATCH_OK);
    EXPECT_EQ(Written().files[2].colour[0], 0u) << "an explicit layout wins";
}

TEST_F(BatchTest, AFailedWriteIsReportedAndTheRestAreStillWritten) {
    ResetWritten("_Left");
    const BatchRun run =
        RunBatchWith({"--batch", "pair.png", "--out", dir.path.c_str(), "--max-disparity", "20"});
    EXPECT_EQ(run.status, BATCH_FAILED);
    EXPECT_NE(run.err.find("cannot write '" + dir.path + "/240705_09_07_03_Left.png'"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Written().files.size(), 4u);
    EXPECT_EQ(run.out.find("_Left.png"), std::string::npos);
    EXPECT_NE(run.out.find("_anaglyph.png"), std::string::npos);
}

TEST_F(BatchTest, AMatcherRefusalFailsTheRunButKeepsTheOtherFiles) {
    ResetStereoCall(6);
    const BatchRun run =
        RunBatchWith({"--batch", "pair.png", "--out", dir.path.c_str(), "--max-disparity", "20"});
    EXPECT_EQ(run.status, BATCH_FAILED);
    EXPECT_NE(run.err.find("no disparity map (Bad maxDisparity)"), std::string::npos) << run.err;
    EXPECT_EQ(Written().files.size(), 4u);
    EXPECT_EQ(run.out.find("_depth.png"), std::string::npos);
}

TEST_F(BatchTest, RunsInTheSameSecondAndLinksNeverLoseAFile) {
    const BatchServices real = {ReadFromMemory, PHOTO_FILE_WRITER, FakeStereo};
    const std::string base = dir.path + "/240705_09_07_03";
    // A link at the second run's first name: followed, it would replace the file it points at.
    std::ofstream(dir.path + "/precious") << "precious";
    fs::create_symlink(dir.path + "/precious", base + "_2_adjst.jpg");
    for (int run = 0; run < 3; ++run) {
        const BatchRun result = RunBatchWith(
            {"--batch", "pair.png", "--out", dir.path.c_str(), "--max-disparity", "20"}, real);
        ASSERT_EQ(result.status, BATCH_OK) << result.err;
    }
    for (const char* counted : {"", "_3", "_4"}) {
        for (const char* file :
             {"_adjst.jpg", "_Right.png", "_Left.png", "_depth.png", "_anaglyph.png"}) {
            EXPECT_TRUE(fs::is_regular_file(base + counted + file)) << counted << file;
        }
    }
    EXPECT_EQ(FileContents(dir.path + "/precious"), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 17);
}

TEST(PhotoFiles, PngRoundTripKeepsEveryPixel) {
    TempFolder dir;
    const std::string path = dir.path + "/round.png";
    const int width = 7, height = 3, stride = 9;
    std::vector<std::uint32_t> pixels(stride * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint32_t>(i * 0x0A1B2C) & 0x00FFFFFF;
    }
    ASSERT_EQ(WriteColourFile(path.c_str(), IMAGE_FILE_PNG, pixels.data(), width, height, stride,
                              nullptr),
              IMAGE_IO_OK);
    PixelImage read;
    ASSERT_EQ(ReadImageFile(path.c_str(), &read, nullptr), IMAGE_IO_OK);
    ASSERT_EQ(read.width, width);
    ASSERT_EQ(read.height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(read.pixels[y * width + x], pixels[y * stride + x]) << x << "," << y;
        }
    }

    const std::string grey = dir.path + "/map.png";
    const std::uint8_t map[] = {0, 1, 2, 99, 3, 4, 5, 99};
    ASSERT_EQ(WriteGreyPng(grey.c_str(), map, 3, 2, 4, nullptr), IMAGE_IO_OK);
    ASSERT_EQ(ReadImageFile(grey.c_str(), &read, nullptr), IMAGE_IO_OK);
    EXPECT_EQ(read.pixels[4], 0x00040404u);
}

TEST(PhotoFiles, MalformedOrMissingFilesAreRefusedAndLeaveTheImageAlone) {
    TempFolder dir;
    const std::string good = dir.path + "/good.png";
    std::vector<std::uint32_t> pixels(64 * 64, 0x00336699);
    ASSERT_EQ(WriteColourFile(good.c_str(), IMAGE_FILE_PNG, pixels.data(), 64, 64, 64, nullptr),
              IMAGE_IO_OK);
    const std::string truncated = dir.path + "/truncated.png";
    fs::copy_file(good, truncated);
    fs::resize_file(truncated, fs::file_size(good) / 2);
    const std::string text = dir.path + "/text.png";
    std::ofstream(text) << "not an image";

    PixelImage image;
    image.width = 1;
    for (const std::string& path : {truncated, text, dir.path + "/absent.png", dir.path}) {
        EXPECT_NE(ReadImageFile(path.c_str(), &image, nullptr), IMAGE_IO_OK) << path;
        EXPECT_EQ(image.width, 1) << path;
    }
    EXPECT_EQ(WriteColourFile((dir.path + "/no/such/dir.png").c_str(), IMAGE_FILE_PNG,
                              pixels.data(), 64, 64, 64, nullptr),
              IMAGE_IO_WRITE_FAILED);
}

} // namespace
