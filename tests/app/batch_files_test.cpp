// Batch mode over several files on two jobs: inputs of one stem get distinct names, a name
// already taken is never replaced, a file that fails is reported and counted while the rest go
// on, and no temporary is left behind.
#include "stereo/batch.h"
#include "photoio/photo_io.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A side-by-side pair of two flat colours: left half 0xA0B0C0, right half 0x102030.
void WritePair(const std::string& path) {
    const int w = 96, h = 40;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            rgb.insert(rgb.end(), x < w / 2
                                      ? std::initializer_list<std::uint8_t>{0xA0, 0xB0, 0xC0}
                                      : std::initializer_list<std::uint8_t>{0x10, 0x20, 0x30});
        }
    }
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_EQ(
        WritePhoto(path.c_str(), PHOTO_PNG, {rgb.data(), w, h, 3, w * 3u}, 0, PHOTO_KEEP_EXISTING),
        PHOTO_OK);
}

TEST(BatchFiles, StemsCollideWithoutLossAndFailuresAreCounted) {
    EXPECT_EQ(
        BatchBaseNames({"a/photo.png", "b/photo.png", "c/photo.jps", "d/photo.png", "photo_2.jpg"}),
        (std::vector<std::string>{"photo", "photo_png", "photo_jps", "photo_2", "photo_2_jpg"}));

    TempFolder dir;
    const std::string out = dir.Path("out");
    fs::create_directories(out);
    std::ofstream(out + "/photo_adjst.jpg") << "precious";
    WritePair(dir.Path("a/photo.png"));
    WritePair(dir.Path("b/photo.png"));
    WritePair(dir.Path("c/photo.jps"));

    BatchOptions options;
    options.files = {dir.Path("a/photo.png"), dir.Path("b/photo.png"), dir.Path("missing.png"),
                     dir.Path("c/photo.jps")};
    options.outDir = out;
    options.jobs = 2;
    options.wiggleGif = true;
    options.anaglyph = ANAGLYPH_DUBOIS;
    options.maxDisparity = 16;
    char* errText = nullptr;
    std::size_t errSize = 0;
    std::FILE* err = open_memstream(&errText, &errSize);
    std::FILE* paths = std::tmpfile();
    const int status = RunBatchFiles(options, DefaultBatchServices(), paths, err);
    std::fclose(err);
    std::fclose(paths);
    const std::string messages = errText;
    std::free(errText);

    EXPECT_EQ(status, 1) << messages;
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NE(messages.find("[" + std::to_string(k) + "/4] "), std::string::npos) << messages;
    }
    EXPECT_NE(messages.find("missing.png … failed"), std::string::npos) << messages;
    EXPECT_EQ(FileContents(out + "/photo_adjst.jpg"), "precious");
    for (const std::string base : {"photo_2", "photo_png", "photo_jps"}) {
        for (const char* suffix :
             {"_adjst.jpg", "_Right.png", "_Left.png", "_anaglyph.png", "_wiggle.gif"}) {
            EXPECT_TRUE(fs::exists(out + "/" + base + suffix)) << base << suffix;
        }
    }
    for (const auto& entry : fs::directory_iterator(out)) {
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    }
    // The parallel source's anaglyph is the least-squares one of its two colours.
    Photo anaglyph;
    ASSERT_EQ(ReadPhoto((out + "/photo_png_anaglyph.png").c_str(), &anaglyph), PHOTO_OK);
    EXPECT_EQ(anaglyph.rgb[0], 0xB6);
    EXPECT_EQ(anaglyph.rgb[1], 0x00);
    EXPECT_EQ(anaglyph.rgb[2], 0x23);
}

} // namespace
