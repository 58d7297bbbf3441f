// BitBlt, fills and raster operations on tiny bitmaps with exact expected pixels.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

using gditest::Canvas;

namespace {

constexpr std::uint32_t MARK = 0x00ABCDEF; // destination pixels that must stay untouched

// A 3 × 3 source whose pixels name their position: 0x00000yx + 0x110000.
void LoadNumbered(Canvas& c) {
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            c.Set(x, y, 0x110000u + static_cast<std::uint32_t>(y * 16 + x));
        }
    }
}

std::uint32_t Numbered(int x, int y) {
    return 0x110000u + static_cast<std::uint32_t>(y * 16 + x);
}

struct ClipCase {
    const char* name;
    int x, y;       // destination origin
    int srcX, srcY; // source origin
};

class BitBltClipping : public ::testing::TestWithParam<ClipCase> {};

// Every destination pixel either receives the source pixel at the same offset or, when that
// offset falls outside either bitmap, keeps its value.
TEST_P(BitBltClipping, CopiesOnlyWhatBothBitmapsHold) {
    const ClipCase& c = GetParam();
    Canvas src(3, 3);
    LoadNumbered(src);
    Canvas dst(4, 4);
    dst.Fill(MARK);
    ASSERT_TRUE(BitBlt(dst.dc(), c.x, c.y, 3, 3, src.dc(), c.srcX, c.srcY, SRCCOPY));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int sx = x - c.x + c.srcX;
            const int sy = y - c.y + c.srcY;
            const bool inside = x - c.x >= 0 && x - c.x < 3 && y - c.y >= 0 && y - c.y < 3 &&
                                sx >= 0 && sx < 3 && sy >= 0 && sy < 3;
            EXPECT_EQ(dst.Get(x, y), inside ? Numbered(sx, sy) : MARK) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryEdge, BitBltClipping,
    ::testing::Values(ClipCase{"inside", 1, 1, 0, 0}, ClipCase{"destLeftTop", -1, -1, 0, 0},
                      ClipCase{"destRightBottom", 2, 2, 0, 0}, ClipCase{"destLeft", -2, 0, 0, 0},
                      ClipCase{"destBottom", 0, 3, 0, 0}, ClipCase{"srcLeftTop", 0, 0, -1, -1},
                      ClipCase{"srcRightBottom", 0, 0, 1, 2}, ClipCase{"srcRight", 1, 0, 2, 0},
                      ClipCase{"bothEdges", -1, 2, 1, -1}, ClipCase{"nothingVisible", 4, 0, 0, 0},
                      ClipCase{"sourceFarAway", 0, 0, 100, -100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitBlt, ScrollsUpWithinOneBitmap) {
    // The text window scrolls by copying its bitmap onto itself one line higher.
    Canvas c(2, 4);
    c.Load({1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(BitBlt(c.dc(), 0, 0, 2, 3, c.dc(), 0, 1, SRCCOPY));
    EXPECT_EQ(c.All(), (std::vector<std::uint32_t>{3, 4, 5, 6, 7, 8, 7, 8}));
    ASSERT_TRUE(BitBlt(c.dc(), 1, 1, 1, 3, c.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(c.All(), (std::vector<std::uint32_t>{3, 4, 5, 3, 7, 5, 7, 7}));
}

TEST(BitBlt, RasterOperationsCombineSourceDestinationAndBrush) {
    Canvas src(2, 1);
    src.Load({0x00FF00F0, 0x000F0F0F});
    Canvas dst(2, 1);
    auto run = [&](DWORD rop) {
        dst.Load({0x00F0F0F0, 0x00FFFFFF});
        EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, rop));
        return dst.All();
    };
    EXPECT_EQ(run(SRCCOPY), (std::vector<std::uint32_t>{0x00FF00F0, 0x000F0F0F}));
    // Results keep the unused top byte of 32-bit pixels zero.
    EXPECT_EQ(run(NOTSRCCOPY), (std::vector<std::uint32_t>{0x0000FF0F, 0x00F0F0F0}));
    EXPECT_EQ(run(SRCINVERT), (std::vector<std::uint32_t>{0x000FF000, 0x00F0F0F0}));
    EXPECT_EQ(run(SRCAND), (std::vector<std::uint32_t>{0x00F000F0, 0x000F0F0F}));
    EXPECT_EQ(run(SRCPAINT), (std::vector<std::uint32_t>{0x00FFF0F0, 0x00FFFFFF}));
    EXPECT_EQ(run(DSTINVERT), (std::vector<std::uint32_t>{0x000F0F0F, 0x00000000}));
    EXPECT_EQ(run(BLACKNESS), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(run(WHITENESS), (std::vector<std::uint32_t>{0x00FFFFFF, 0x00FFFFFF}));
    HGDIOBJ old = SelectObject(dst.dc(), CreateSolidBrush(RGB(0x12, 0x34, 0x56)));
    EXPECT_EQ(run(PATCOPY), (std::vector<std::uint32_t>{0x00123456, 0x00123456}));
    // MERGECOPY is source AND brush: a ternary operation without a shortcut of its own.
    EXPECT_EQ(run(MERGECOPY), (std::vector<std::uint32_t>{0x00120050, 0x00020406}));
    DeleteObject(SelectObject(dst.dc(), old));
}

TEST(BitBlt, RefusesMissingSourceAndBadDcs) {
    Canvas dst(2, 2);
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, dst.dc(), 0, 0, SRCCOPY));
    // Operations that read no source do not need one.
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(dst.Get(1, 1), 0x00FFFFFFu);
    EXPECT_FALSE(PatBlt(dst.dc(), 0, 0, 2, 2, SRCCOPY));
}

TEST(Fills, InvertRectFlipsColoursAndIndices) {
    Canvas c(3, 2);
    c.Load({0x00000000, 0x00FF8001, 0x00123456, 1, 2, 3});
    RECT r{1, 0, 3, 1};
    ASSERT_TRUE(InvertRect(c.dc(), &r));
    EXPECT_EQ(c.All(), (std::vector<std::uint32_t>{0, 0x00007FFE, 0x00EDCBA9, 1, 2, 3}));

    // On an 8-bit bitmap the indices are inverted; with a grey ramp that inverts the greys.
    Canvas g(2, 1, 8);
    g.Load({10, 200});
    RECT all{0, 0, 2, 1};
    ASSERT_TRUE(InvertRect(g.dc(), &all));
    EXPECT_EQ(g.All(), (std::vector<std::uint32_t>{245, 55}));
}

TEST(Fills, FillRectUsesBrushesAndSystemColours) {
    Canvas c(4, 2);
    c.Fill(MARK);
    RECT left{0, 0, 2, 2};
    ASSERT_TRUE(FillRect(c.dc(), &left, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    RECT right{2, 0, 4, 1};
    // A class background given as COLOR_BTNFACE + 1 is a brush too.
    ASSERT_TRUE(FillRect(c.dc(), &right, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
    RECT corner{3, 1, 9, 9}; // clipped at the right and bottom edges
    ASSERT_TRUE(FillRect(c.dc(), &corner, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
    EXPECT_EQ(c.All(),
              (std::vector<std::uint32_t>{0, 0, 0x00F0F0F0, 0x00F0F0F0, 0, 0, MARK, MARK}));
    RECT empty{3, 1, 2, 2}; // right < left paints nothing
    EXPECT_TRUE(FillRect(c.dc(), &empty, GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(c.Get(2, 1), MARK);
    EXPECT_FALSE(FillRect(c.dc(), &left, reinterpret_cast<HBRUSH>(0x7777)));
    RECT everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    ASSERT_TRUE(FillRect(c.dc(), &everything, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(c.All(), std::vector<std::uint32_t>(8, 0x00FFFFFF));
}

TEST(Fills, PatBltOnEightBitsUsesTheNearestEntry) {
    Canvas g(3, 1, 8);
    HGDIOBJ old = SelectObject(g.dc(), CreateSolidBrush(RGB(10, 20, 30)));
    ASSERT_TRUE(PatBlt(g.dc(), 1, 0, 5, 1, PATCOPY));
    EXPECT_EQ(g.All(), (std::vector<std::uint32_t>{0, 20, 20}));
    DeleteObject(SelectObject(g.dc(), old));
}

TEST(EightBit, SourcesGoThroughTheirColourTable) {
    std::vector<RGBQUAD> colors{{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {9, 8, 7, 0}};
    Canvas src(4, 1, 8, false, colors);
    src.Load({3, 2, 1, 0});
    Canvas dst(4, 1);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dst.All(),
              (std::vector<std::uint32_t>{0x00070809, 0x000000FF, 0x0000FF00, 0x00FF0000}));
}

TEST(EightBit, DestinationsReceiveIndicesOrNearestEntries) {
    // Between 8-bit bitmaps the indices are copied, even where the tables differ.
    std::vector<RGBQUAD> colors{{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    Canvas src(3, 1, 8, true, colors);
    src.Load({2, 0, 1});
    Canvas grey(3, 1, 8);
    ASSERT_TRUE(BitBlt(grey.dc(), 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(grey.All(), (std::vector<std::uint32_t>{2, 0, 1}));

    // From 32 bits each colour takes the nearest table entry.
    Canvas rgb(3, 1);
    rgb.Load({0x00646464, 0x000A141E, 0x00FFFFFF});
    ASSERT_TRUE(BitBlt(grey.dc(), 0, 0, 3, 1, rgb.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(grey.All(), (std::vector<std::uint32_t>{100, 20, 255}));
    Canvas primaries(3, 1, 8, true, colors);
    rgb.Load({0x00F01010, 0x0000C000, 0x00000000});
    ASSERT_TRUE(BitBlt(primaries.dc(), 0, 0, 3, 1, rgb.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(primaries.All(), (std::vector<std::uint32_t>{0, 1, 0}));
}

TEST(DifferentFormats, TwentyFourBitBitmapsReadAndWrite) {
    Canvas c24(2, 2, 24, false);
    c24.Load({0x00010203, 0x00040506, 0x00070809, 0x000A0B0C});
    Canvas c32(2, 2);
    ASSERT_TRUE(BitBlt(c32.dc(), 0, 0, 2, 2, c24.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(c32.All(), c24.All());
    c32.Set(0, 0, 0x00FFEEDD);
    ASSERT_TRUE(BitBlt(c24.dc(), 1, 1, 1, 1, c32.dc(), 0, 0, NOTSRCCOPY));
    EXPECT_EQ(c24.Get(1, 1), 0x00001122u);
}

} // namespace
