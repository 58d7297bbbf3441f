// The least-squares anaglyph's colours at known pixels, and the wiggle GIF's frames scaled to
// the 1000-pixel limit, left eye first.
#include "stereo/dubois_anaglyph.h"
#include "stereo/wiggle_gif.h"
#include "tests/support/temp_folder.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(DuboisAnaglyph, KnownPixelsAndTheOverlapInTheCorner) {
    // Values from the projection evaluated independently in double precision.
    EXPECT_EQ(DuboisPixel(0xFFFFFF, 0x000000), 0xFF0000u);
    EXPECT_EQ(DuboisPixel(0x000000, 0xFFFFFF), 0x00FFFFu);
    EXPECT_EQ(DuboisPixel(0x808080, 0x808080), 0x808080u);
    EXPECT_EQ(DuboisPixel(0xA0B0C0, 0x102030), 0xB60023u);
    EXPECT_EQ(DuboisPixel(0xFF0000, 0xFF0000), 0xAC9D00u);
    EXPECT_EQ(DuboisPixel(0x00FF00, 0x0000FF), 0xBB00FFu);

    const int W = 4, H = 3;
    const std::vector<std::uint32_t> left(W * H, 0xA0B0C0), right(W * H, 0x102030);
    std::vector<std::uint32_t> out(W * H, 0x123456);
    MakeDuboisAnaglyph(W, H, left.data(), right.data(), out.data(), 1, -1);
    EXPECT_EQ(out[0], 0xB60023u);
    EXPECT_EQ(out[W + 2], 0xB60023u);
    EXPECT_EQ(out[W - 1], 0u); // past the overlap's 3 columns
    EXPECT_EQ(out[2 * W], 0u); // past its 2 rows
}

TEST(WiggleGif, FramesAreTheEyesScaledToTheLimitLeftFirst) {
    TempFolder dir;
    const int W = 2400, H = 1200;
    const std::vector<std::uint32_t> left(W * H, 0xFF0000), right(W * H, 0x0000FF);
    const std::string path = dir.Path("w.gif");
    std::string reason;
    ASSERT_EQ(WriteWiggleGif(path.c_str(), W, H, left.data(), right.data(), 0, 0, &reason), 0)
        << reason;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 1000);
    EXPECT_EQ(gif->SHeight, 500);
    ASSERT_EQ(gif->ImageCount, 2);
    const GifColorType first = gif->SColorMap->Colors[gif->SavedImages[0].RasterBits[0]];
    const GifColorType second = gif->SColorMap->Colors[gif->SavedImages[1].RasterBits[0]];
    EXPECT_GT(first.Red, 200);
    EXPECT_GT(second.Blue, 200);
    DGifCloseFile(gif, &error);
}

} // namespace
