// Anaglyph and wiggle frames: the luminance arithmetic, which pixels pair up at each offset,
// the black margins, and the frame windows that may be missing or of another size.
#include "app/previews.h"
#include "tests/support/canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

using Buffer = std::vector<std::uint32_t>;

std::uint32_t Grey(int v) {
    return static_cast<std::uint32_t>(v * 0x010101);
}

// A W x H view whose pixels are all distinct and encode their position and view.
Buffer Numbered(int W, int H, std::uint32_t tag) {
    Buffer view(static_cast<std::size_t>(W) * H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            view[y * W + x] = tag | static_cast<std::uint32_t>(y << 8 | x);
        }
    }
    return view;
}

int Red(std::uint32_t p) {
    return static_cast<int>(p >> 16 & 0xFF);
}

TEST(Anaglyph, LuminanceIsTruncatedInTheStatedOrder) {
    EXPECT_EQ(AnaglyphPixel(0x00102030, 0x00A0B0C0), 0x001DB0C0u);
    EXPECT_EQ(Red(AnaglyphPixel(Grey(128), 0)), 127);
    EXPECT_EQ(Red(AnaglyphPixel(Grey(255), 0)), 255);
    EXPECT_EQ(Red(AnaglyphPixel(Grey(1), 0)), 0);
    EXPECT_EQ(Red(AnaglyphPixel(0x00FF0000, 0)), 76);  // 255 x 0.299 = 76.245
    EXPECT_EQ(Red(AnaglyphPixel(0x0000FF00, 0)), 149); // 255 x 0.587 = 149.685
    EXPECT_EQ(Red(AnaglyphPixel(0x000000FF, 0)), 29);  // 255 x 0.114 = 29.07
    // The right eye's red and any bits above 24 never leak into the result.
    EXPECT_EQ(AnaglyphPixel(0, 0xFFFFFFFF), 0x0000FFFFu);
}

TEST(Anaglyph, PairsPixelsByTheOffsetAndBlackensTheRest) {
    const int W = 6, H = 4;
    const Buffer a = Numbered(W, H, 0x00000000);
    const Buffer b = Numbered(W, H, 0x00000000);
    struct Case {
        int offsetX, offsetY;
        int ax, ay, bx, by, cols, rows;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, 6, 4},  // whole views
        {5, 0, 5, 0, 0, 0, 1, 4},  // one column of overlap
        {0, -2, 0, 0, 0, 2, 6, 2}, // A's row 0 with B's row 2
        {-2, 1, 0, 1, 2, 0, 4, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offsetX << "," << c.offsetY);
        Buffer preview(W * H, 0x00ABCDEF);
        MakeAnaglyph(W, H, a.data(), b.data(), preview.data(), c.offsetX, c.offsetY);
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const std::uint32_t got = preview[y * W + x];
                if (x < c.cols && y < c.rows) {
                    const std::uint32_t pa = a[(c.ay + y) * W + c.ax + x];
                    const std::uint32_t pb = b[(c.by + y) * W + c.bx + x];
                    EXPECT_EQ(got, AnaglyphPixel(pa, pb)) << x << "," << y;
                } else {
                    EXPECT_EQ(got, 0u) << x << "," << y;
                }
            }
        }
    }
}

TEST(Anaglyph, RedIsTheGreyOfTheLeftEyeAtZeroOffset) {
    const int W = 256, H = 1;
    Buffer a(W, 0x00123456), b(W);
    for (int x = 0; x < W; ++x) {
        b[x] = Grey(x);
    }
    Buffer preview(W);
    MakeAnaglyph(W, H, b.data(), a.data(), preview.data(), 0, 0);
    for (int x = 0; x < W; ++x) {
        // A grey's luminance is the grey itself, or one less where the weights' sum falls
        // just under 1 in double precision.
        EXPECT_GE(Red(preview[x]), x - 1) << x;
        EXPECT_LE(Red(preview[x]), x) << x;
        EXPECT_EQ(preview[x] & 0xFFFF, 0x3456u);
    }
}

TEST(Anaglyph, NoOverlapGivesABlackPreview) {
    const int W = 5, H = 3;
    const Buffer a = Numbered(W, H, 0x00100000), b = Numbered(W, H, 0x00200000);
    for (const auto& [ox, oy] : {std::pair{5, 0}, {-9, 0}, {0, 3}, {INT_MIN, INT_MIN}}) {
        Buffer preview(W * H, 0x00FFFFFF);
        MakeAnaglyph(W, H, a.data(), b.data(), preview.data(), ox, oy);
        EXPECT_EQ(preview, Buffer(W * H, 0)) << ox << "," << oy;
    }
}

TEST(Wiggle, FramesHoldTheAlignedViewsInTheirCorner) {
    const int W = 5, H = 4;
    const Buffer a = Numbered(W, H, 0x00A00000), b = Numbered(W, H, 0x00B00000);
    Buffer frameA(W * H, 0x00FFFFFF), frameB(W * H, 0x00FFFFFF);
    ComposeWiggleFrames(W, H, a.data(), b.data(), frameA.data(), frameB.data(), 2, -1);
    // cols 3, rows 3; A from (2, 0), B from (0, 1).
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const bool inside = x < 3 && y < 3;
            EXPECT_EQ(frameA[y * W + x], inside ? a[y * W + x + 2] : 0u) << x << "," << y;
            EXPECT_EQ(frameB[y * W + x], inside ? b[(y + 1) * W + x] : 0u) << x << "," << y;
        }
    }
}

TEST(Wiggle, FramesGoOnlyIntoFrameWindowsOfTheViewSize) {
    const int W = 4, H = 3;
    const Buffer a = Numbered(W, H, 0x00A00000), b = Numbered(W, H, 0x00B00000);
    {
        Canvas frameA(32, W, H, WIGGLE_WINDOW_A, 0x00FFFFFF);
        Canvas frameB(32, W, H, WIGGLE_WINDOW_B, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 0, 0), 0);
        EXPECT_EQ(frameA.Words(), a);
        EXPECT_EQ(frameB.Words(), b);
    }
    {
        // Window 5 closed by the user, window 4 reopened with another size: neither is
        // touched.
        Canvas other(32, W - 1, H, WIGGLE_WINDOW_A, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 0, 0), 1);
        EXPECT_EQ(other.Words(), Buffer((W - 1) * H, 0x00FFFFFF));
    }
    {
        Canvas eightBit(8, W, H, WIGGLE_WINDOW_A, 0xFF);
        Canvas frameB(32, W, H, WIGGLE_WINDOW_B, 0x00FFFFFF);
        const std::vector<std::uint8_t> before = eightBit.Snapshot();
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 1, 0), 1);
        EXPECT_EQ(eightBit.Snapshot(), before);
        EXPECT_EQ(frameB.Words()[0], b[0]);
        EXPECT_EQ(frameB.Words()[W - 1], 0u);
    }
}

} // namespace
