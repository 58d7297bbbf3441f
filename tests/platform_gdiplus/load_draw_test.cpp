// Drawing pictures into memory DCs: placement, clipping, untouched pixels, 8-bit targets.
#include "tests/platform_gdi/gdi_test_support.h"
#include "tests/platform_gdiplus/gdiplus_test_support.h"

#include <gtest/gtest.h>

namespace {

using gdiplustest::MakeRgbBitmap;

std::vector<std::uint32_t> Pattern(int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x40);
        }
    }
    return pixels;
}

void Draw(HDC dc, GpImage* image, int x, int y, int w, int h) {
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &graphics), Ok);
    EXPECT_EQ(GdipDrawImageRectI(graphics, image, x, y, w, h), Ok);
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
}

TEST(GdiplusDraw, SmallPictureCoversOnlyItsCornerOfALargerBitmap) {
    const auto pattern = Pattern(100, 50);
    GpBitmap* picture = MakeRgbBitmap(100, 50, pattern);
    ASSERT_NE(picture, nullptr);
    gditest::Canvas canvas(640, 480);
    canvas.Fill(0x123456);
    Draw(canvas.dc(), picture, 0, 0, 100, 50);
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; x += 3) {
            const std::uint32_t want =
                x < 100 && y < 50 ? pattern[static_cast<std::size_t>(y) * 100 + x] : 0x123456u;
            ASSERT_EQ(canvas.Get(x, y), want) << x << "," << y;
        }
    }
    GdipDisposeImage(picture);
}

TEST(GdiplusDraw, LargerOrOffsetPicturesAreClipped) {
    const auto pattern = Pattern(20, 20);
    GpBitmap* picture = MakeRgbBitmap(20, 20, pattern);
    ASSERT_NE(picture, nullptr);
    gditest::Canvas canvas(8, 6);
    canvas.Fill(0xABCDEF);
    Draw(canvas.dc(), picture, -3, -2, 20, 20);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(canvas.Get(x, y), pattern[static_cast<std::size_t>(y + 2) * 20 + x + 3]);
        }
    }
    canvas.Fill(0xABCDEF);
    Draw(canvas.dc(), picture, 5, 4, 20, 20);
    EXPECT_EQ(canvas.Get(4, 3), 0xABCDEFu);
    EXPECT_EQ(canvas.Get(5, 4), pattern[0]);
    EXPECT_EQ(canvas.Get(7, 5), pattern[20 + 2]);
    // Entirely outside, or at coordinates near the integer limits: nothing changes.
    canvas.Fill(0xABCDEF);
    Draw(canvas.dc(), picture, 8, 0, 20, 20);
    Draw(canvas.dc(), picture, 0x7FFFFFF0, 0x7FFFFFF0, 20, 20);
    Draw(canvas.dc(), picture, -0x7FFFFFF0, 0, 20, 20);
    for (std::uint32_t p : canvas.All()) {
        ASSERT_EQ(p, 0xABCDEFu);
    }
    GdipDisposeImage(picture);
}

TEST(GdiplusDraw, EightBitTargetsGetTheNearestTableEntry) {
    std::vector<RGBQUAD> table(256, RGBQUAD{0, 0, 0, 0});
    table[1] = RGBQUAD{0, 0, 255, 0}; // red
    table[2] = RGBQUAD{255, 0, 0, 0}; // blue
    gditest::Canvas canvas(4, 1, 8, false, table);
    canvas.Fill(0);
    GpBitmap* picture = MakeRgbBitmap(3, 1, {0xF00000, 0x0000F0, 0x101010});
    Draw(canvas.dc(), picture, 0, 0, 3, 1);
    EXPECT_EQ(canvas.Get(0, 0), 1u);
    EXPECT_EQ(canvas.Get(1, 0), 2u);
    EXPECT_EQ(canvas.Get(2, 0), 0u);
    GdipDisposeImage(picture);
}

TEST(GdiplusDraw, ScaledDrawingPicksSourcePixels) {
    GpBitmap* picture = MakeRgbBitmap(2, 2, {0x01, 0x02, 0x03, 0x04});
    gditest::Canvas canvas(4, 4);
    Draw(canvas.dc(), picture, 0, 0, 4, 4);
    EXPECT_EQ(canvas.All(),
              (std::vector<std::uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    GdipDisposeImage(picture);
}

TEST(GdiplusObjects, BadArgumentsAreRefused) {
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(nullptr, &graphics), InvalidParameter);
    EXPECT_EQ(GdipCreateFromHDC(reinterpret_cast<HDC>(0x1234), &graphics), InvalidParameter);
    EXPECT_EQ(graphics, nullptr);
    GpBitmap* bitmap = nullptr;
    std::uint32_t pixel = 0;
    EXPECT_EQ(GdipCreateBitmapFromScan0(0, 1, 4, PixelFormat32bppRGB,
                                        reinterpret_cast<BYTE*>(&pixel), &bitmap),
              InvalidParameter);
    EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 2, PixelFormat32bppRGB,
                                        reinterpret_cast<BYTE*>(&pixel), &bitmap),
              InvalidParameter);
    EXPECT_EQ(
        GdipCreateBitmapFromScan0(100000, 100000, 400000, PixelFormat32bppRGB, nullptr, &bitmap),
        InvalidParameter);
    EXPECT_EQ(bitmap, nullptr);
    GpBitmap* source = MakeRgbBitmap(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(GdipCloneBitmapAreaI(1, 1, 2, 2, PixelFormat24bppRGB, source, &bitmap),
              InvalidParameter);
    EXPECT_EQ(GdipCloneBitmapAreaI(0, 1, 2, 1, PixelFormat24bppRGB, source, &bitmap), Ok);
    UINT width = 0;
    GdipGetImageWidth(bitmap, &width);
    EXPECT_EQ(width, 2u);
    GdipDisposeImage(bitmap);
    GdipDisposeImage(source);
    UINT height = 7;
    EXPECT_EQ(GdipGetImageHeight(nullptr, &height), InvalidParameter);
    EXPECT_EQ(height, 7u);
}

TEST(GdiplusStartup, HandsOutTokensAndChecksTheVersion) {
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
    EXPECT_NE(token, 0u);
    GdiplusShutdown(token);
    input.GdiplusVersion = 3;
    EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), InvalidParameter);
}

} // namespace
