// Looping GIFs read back with giflib: frame count, delay, loop block and a shared palette; a
// write stopped half way leaves no file and no temporary behind.
#include "photoio/gif_animation.h"
#include "tests/support/rgb_noise.h"
#include "tests/support/temp_folder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>

namespace {

TEST(LoopingGif, TwoFramesOfTheirDelayLoopForEver) {
    TempFolder dir;
    const auto a = RgbNoise(120, 80, 1), b = RgbNoise(120, 80, 2);
    const PhotoPixels frames[] = {{a.data(), 120, 80, 3, 360}, {b.data(), 120, 80, 3, 360}};
    const std::string path = dir.Path("w.gif");
    ASSERT_EQ(WriteLoopingGif(path.c_str(), frames, 2, 100, PHOTO_KEEP_EXISTING), PHOTO_OK);
    EXPECT_EQ(WriteLoopingGif(path.c_str(), frames, 2, 100, PHOTO_KEEP_EXISTING), PHOTO_EXISTS);

    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 120);
    EXPECT_EQ(gif->SHeight, 80);
    ASSERT_EQ(gif->ImageCount, 2);
    EXPECT_NE(gif->SColorMap, nullptr);
    bool loops = false;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, 10);                           // hundredths of a second
        EXPECT_EQ(gif->SavedImages[i].ImageDesc.ColorMap, nullptr); // the one shared palette
        const SavedImage& image = gif->SavedImages[i];
        for (int k = 0; k + 1 < image.ExtensionBlockCount; ++k) {
            const ExtensionBlock& block = image.ExtensionBlocks[k];
            const ExtensionBlock& data = image.ExtensionBlocks[k + 1];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3) {
                loops = data.Bytes[0] == 1 && data.Bytes[1] == 0 && data.Bytes[2] == 0;
            }
        }
    }
    EXPECT_TRUE(loops);
    DGifCloseFile(gif, &error);
}

TEST(LoopingGif, AWriteStoppedHalfWayLeavesNothing) {
    // The quantiser's thread pool does not survive a fork, so the size limit is set here, on
    // the soft limit alone, and restored.
    TempFolder dir;
    const std::string path = dir.Path("w.gif");
    const auto a = RgbNoise(200, 200, 3), b = RgbNoise(200, 200, 4);
    const PhotoPixels frames[] = {{a.data(), 200, 200, 3, 600}, {b.data(), 200, 200, 3, 600}};
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8192, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const int status = WriteLoopingGif(path.c_str(), frames, 2, 100, PHOTO_KEEP_EXISTING);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(status, PHOTO_CANNOT_WRITE);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

} // namespace
