// StretchBlt: nearest-pixel and smoothing modes, mirroring, clipping, 8-bit sources.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

using gditest::Canvas;
using Pixels = std::vector<std::uint32_t>;

namespace {

constexpr std::uint32_t MARK = 0x00ABCDEF;

TEST(StretchModes, DefaultsAndUnknownModes) {
    Canvas c(1, 1);
    EXPECT_EQ(GetStretchBltMode(c.dc()), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(c.dc(), HALFTONE), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(c.dc(), 7), 0);
    EXPECT_EQ(GetStretchBltMode(c.dc()), HALFTONE);
    POINT previous{-1, -1};
    EXPECT_TRUE(SetBrushOrgEx(c.dc(), 3, 4, &previous));
    EXPECT_EQ(previous.x, 0);
    POINT now{};
    EXPECT_TRUE(GetBrushOrgEx(c.dc(), &now));
    EXPECT_EQ(now.y, 4);
}

// A 2 × 2 picture of red, green, blue and grey 200.
void LoadQuad(Canvas& c) {
    c.Load({0x00C80000, 0x0000C800, 0x000000C8, 0x00C8C8C8});
}

TEST(ColorOnColor, EnlargesByRepeatingTheNearestPixel) {
    for (int mode : {COLORONCOLOR, BLACKONWHITE, WHITEONBLACK}) {
        Canvas src(2, 2);
        src.Load({1, 2, 3, 4});
        Canvas dst(5, 5);
        SetStretchBltMode(dst.dc(), mode);
        ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 5, 5, src.dc(), 0, 0, 2, 2, SRCCOPY));
        EXPECT_EQ(dst.All(), (Pixels{1, 1, 2, 2, 2, //
                                     1, 1, 2, 2, 2, //
                                     3, 3, 4, 4, 4, //
                                     3, 3, 4, 4, 4, //
                                     3, 3, 4, 4, 4}))
            << "mode " << mode;
    }
}

TEST(ColorOnColor, ShrinksBySamplingPixelCentres) {
    Canvas src(5, 5);
    for (int i = 0; i < 25; ++i) {
        src.Set(i % 5, i / 5, static_cast<std::uint32_t>(i));
    }
    Canvas dst(2, 2);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 5, 5, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{6, 8, 16, 18}));
}

TEST(Halftone, EnlargesByLinearInterpolation) {
    Canvas src(2, 2);
    LoadQuad(src);
    Canvas dst(5, 5);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 5, 5, src.dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{0xC80000, 0xB41400, 0x646400, 0x14B400, 0x00C800, //
                                 0xB40014, 0xA41414, 0x646414, 0x24B414, 0x14C814, //
                                 0x640064, 0x641464, 0x646464, 0x64B464, 0x64C864, //
                                 0x1400B4, 0x2414B4, 0x6464B4, 0xA4B4B4, 0xB4C8B4, //
                                 0x0000C8, 0x1414C8, 0x6464C8, 0xB4B4C8, 0xC8C8C8}));
}

TEST(Halftone, ShrinksByAveragingTheCoveredArea) {
    // Green grows with the column, blue with the row, red sits on the centre pixel only:
    // each destination pixel covers 2.5 × 2.5 source pixels (weights 0.4, 0.4, 0.2).
    Canvas src(5, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            src.Set(x, y, static_cast<std::uint32_t>((x * 50) << 8 | y * 50));
        }
    }
    src.Set(2, 2, 0x00FA6464);
    Canvas dst(2, 2);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 5, 5, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{0x0A2828, 0x0AA028, 0x0A28A0, 0x0AA0A0}));
}

TEST(Halftone, KeepsFlatAreasExactAndCopiesUnscaled) {
    Canvas src(7, 3);
    src.Fill(0x00123456);
    Canvas dst(3, 5);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 3, 5, src.dc(), 0, 0, 7, 3, SRCCOPY));
    for (std::uint32_t p : dst.All()) {
        EXPECT_EQ(p, 0x00123456u);
    }
    // Equal extents copy pixel for pixel, with no blur.
    Canvas fine(2, 1);
    fine.Load({0, 0x00FFFFFF});
    Canvas out(2, 1);
    SetStretchBltMode(out.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(out.dc(), 0, 0, 2, 1, fine.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(out.All(), (Pixels{0, 0x00FFFFFF}));
}

TEST(Halftone, DiffersFromNearestOnAFineCheckerboard) {
    Canvas src(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            src.Set(x, y, (x + y) % 2 ? 0x00FFFFFF : 0);
        }
    }
    Canvas smooth(4, 4);
    Canvas sharp(4, 4);
    SetStretchBltMode(smooth.dc(), HALFTONE);
    SetStretchBltMode(sharp.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(smooth.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 8, 8, SRCCOPY));
    ASSERT_TRUE(StretchBlt(sharp.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 8, 8, SRCCOPY));
    for (std::uint32_t p : smooth.All()) {
        EXPECT_EQ(p, 0x00808080u); // half black, half white (127.5 rounds up)
    }
    for (std::uint32_t p : sharp.All()) {
        EXPECT_TRUE(p == 0 || p == 0x00FFFFFFu);
    }
}

TEST(Mirroring, NegativeExtentsFlipOntoAnotherBitmap) {
    Canvas src(3, 2);
    src.Load({1, 2, 3, 4, 5, 6});
    Canvas dst(3, 2);
    ASSERT_TRUE(StretchBlt(dst.dc(), 2, 0, -3, 2, src.dc(), 0, 0, 3, 2, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{3, 2, 1, 6, 5, 4}));
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 1, 3, -2, src.dc(), 0, 0, 3, 2, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{4, 5, 6, 1, 2, 3}));
    // A negative source extent mirrors as well; two negatives cancel.
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 3, 2, src.dc(), 2, 1, -3, -2, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{6, 5, 4, 3, 2, 1}));
    ASSERT_TRUE(StretchBlt(dst.dc(), 2, 1, -3, -2, src.dc(), 2, 1, -3, -2, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{1, 2, 3, 4, 5, 6}));
}

TEST(Mirroring, FlipsOntoTheSameBitmap) {
    // The image window's Horz. Flip and Vert. Flip stretch a bitmap onto itself.
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        Canvas c(3, 2);
        SetStretchBltMode(c.dc(), mode);
        c.Load({1, 2, 3, 4, 5, 6});
        ASSERT_TRUE(StretchBlt(c.dc(), 2, 0, -3, 2, c.dc(), 0, 0, 3, 2, SRCCOPY));
        EXPECT_EQ(c.All(), (Pixels{3, 2, 1, 6, 5, 4}));
        ASSERT_TRUE(StretchBlt(c.dc(), 0, 1, 3, -2, c.dc(), 0, 0, 3, 2, SRCCOPY));
        EXPECT_EQ(c.All(), (Pixels{6, 5, 4, 3, 2, 1}));
    }
}

TEST(Mirroring, CombinesWithScaling) {
    Canvas src(2, 1);
    src.Load({1, 2});
    Canvas dst(4, 1);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc(), 3, 0, -4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.All(), (Pixels{2, 2, 1, 1}));
    Canvas ramp(4, 1);
    ramp.Load({0x10, 0x20, 0x30, 0x40});
    Canvas half(2, 1);
    SetStretchBltMode(half.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(half.dc(), 1, 0, -2, 1, ramp.dc(), 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(half.All(), (Pixels{0x38, 0x18}));
}

TEST(StretchClipping, SourceAndDestinationEdges) {
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        Canvas src(2, 2);
        src.Fill(0x00404040);
        Canvas dst(4, 4);
        dst.Fill(MARK);
        SetStretchBltMode(dst.dc(), mode);
        // Twice the size, half of it hanging over the left and top edges.
        ASSERT_TRUE(StretchBlt(dst.dc(), -2, -2, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY));
        EXPECT_EQ(dst.All(), (Pixels{0x404040, 0x404040, MARK, MARK, //
                                     0x404040, 0x404040, MARK, MARK, //
                                     MARK, MARK, MARK, MARK,         //
                                     MARK, MARK, MARK, MARK}))
            << "mode " << mode;
        // A source rectangle reaching past the source's right edge: destination pixels whose
        // sample falls outside stay as they were.
        dst.Fill(MARK);
        ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 1, 0, 2, 1, SRCCOPY));
        EXPECT_EQ(dst.All(), (Pixels{0x404040, 0x404040, MARK, MARK, //
                                     0x404040, 0x404040, MARK, MARK, //
                                     MARK, MARK, MARK, MARK,         //
                                     MARK, MARK, MARK, MARK}))
            << "mode " << mode;
        // Far outside, huge or empty extents draw nothing and do not fail.
        dst.Fill(MARK);
        EXPECT_TRUE(StretchBlt(dst.dc(), 10, 10, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY));
        EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 0, 2, SRCCOPY));
        EXPECT_TRUE(
            StretchBlt(dst.dc(), 0, 0, 0x7FFFFFFF, 1, src.dc(), -5, 0, 0x7FFFFFFF, 1, SRCCOPY));
        EXPECT_EQ(dst.Get(0, 1), MARK);
        EXPECT_TRUE(StretchBlt(dst.dc(), -0x7FFFFFFF, 0, 0x7FFFFFFF, 4, src.dc(), 0, 0, 1,
                               0x7FFFFFFF, SRCCOPY));
    }
}

TEST(EightBitStretch, ColourTableAppliesInBothModes) {
    std::vector<RGBQUAD> colors{{0, 0, 0, 0}, {200, 100, 0, 0}};
    Canvas src(2, 1, 8, false, colors);
    src.Load({0, 1});
    Canvas nearest(4, 1);
    SetStretchBltMode(nearest.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(nearest.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(nearest.All(), (Pixels{0, 0, 0x0064C8, 0x0064C8}));
    Canvas smooth(5, 1);
    SetStretchBltMode(smooth.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(smooth.dc(), 0, 0, 5, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(smooth.All(), (Pixels{0, 0x00000A14, 0x00003264, 0x00005AB4, 0x000064C8}));
    // 8-bit to 8-bit: nearest sampling copies indices, smoothing mixes colours and takes the
    // nearest entries.
    Canvas grey(2, 1, 8);
    grey.Load({0, 200});
    Canvas indexed(5, 1, 8);
    SetStretchBltMode(indexed.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(indexed.dc(), 0, 0, 5, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(indexed.All(), (Pixels{0, 0, 1, 1, 1}));
    SetStretchBltMode(indexed.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(indexed.dc(), 0, 0, 5, 1, grey.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(indexed.All(), (Pixels{0, 20, 100, 180, 200}));
}

} // namespace
