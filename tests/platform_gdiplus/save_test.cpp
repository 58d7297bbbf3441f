// Encoders and saving: round trips of every format at both depths, JPEG quality, GIF
// quantisation, and failed writes.
#include "tests/platform_gdiplus/gdiplus_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using namespace gdiplustest;

std::vector<std::uint32_t> Photo(int width, int height) {
    // Smooth gradients with some texture: many more than 256 colours.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t r = (x * 255) / width;
            const std::uint32_t g = (y * 255) / height;
            const std::uint32_t b = ((x + y) * 3 + ((x * y) % 17)) & 0xFF;
            pixels[static_cast<std::size_t>(y) * width + x] = (r << 16) | (g << 8) | b;
        }
    }
    return pixels;
}

double MeanError(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift <= 16; shift += 8) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                            static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return sum / (3.0 * static_cast<double>(a.size()));
}

TEST(GdiplusEncoders, ListsTheFiveMimeTypesWithStringsInTheBuffer) {
    UINT count = 0, size = 0;
    ASSERT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
    ASSERT_EQ(count, 5u);
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    EXPECT_EQ(GdipGetImageEncoders(count, size - 1, codecs), GenericError);
    ASSERT_EQ(GdipGetImageEncoders(count, size, codecs), Ok);
    std::vector<std::wstring> mimes;
    for (UINT i = 0; i < count; ++i) {
        const auto* text = reinterpret_cast<const std::uint8_t*>(codecs[i].MimeType);
        EXPECT_GE(text, buffer.data() + count * sizeof(ImageCodecInfo));
        EXPECT_LT(text, buffer.data() + size);
        mimes.push_back(codecs[i].MimeType);
    }
    for (const wchar_t* mime :
         {L"image/bmp", L"image/jpeg", L"image/gif", L"image/png", L"image/tiff"}) {
        EXPECT_NE(std::find(mimes.begin(), mimes.end(), mime), mimes.end());
    }
}

struct FormatCase {
    const wchar_t* mime;
    const char* file;
};

class LosslessRoundTrip : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LosslessRoundTrip, EightBitKeepsIndicesAndTable) {
    TempFolder dir;
    // Odd width (rows padded in the file) and a table with near-duplicate colours.
    const int width = 5, height = 3;
    std::vector<std::uint32_t> table(256);
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<std::uint32_t>((i * 0x010203) & 0xFFFFFF);
    }
    std::vector<std::uint8_t> indices;
    for (int i = 0; i < width * height; ++i) {
        indices.push_back(static_cast<std::uint8_t>(i * 17 + 3));
    }
    GpBitmap* bitmap = MakeIndexedBitmap(width, height, table, indices);
    ASSERT_NE(bitmap, nullptr);
    const std::string path = dir.Path(GetParam().file);
    ASSERT_EQ(Save(bitmap, path, GetParam().mime), Ok);
    GdipDisposeImage(bitmap);
    Loaded loaded;
    ASSERT_TRUE(Load(path, &loaded));
    EXPECT_EQ(loaded.width, width);
    EXPECT_EQ(loaded.height, height);
    ASSERT_EQ(loaded.palette.size(), 256u);
    EXPECT_EQ(loaded.palette, table);
    for (int i = 0; i < width * height; ++i) {
        ASSERT_EQ(loaded.pixels[i], table[indices[i]]) << i;
    }
}

TEST_P(LosslessRoundTrip, TwentyFourBitPixelsComeBackExactly) {
    if (std::wstring(GetParam().mime) == L"image/gif") {
        GTEST_SKIP() << "GIF holds 256 colours; see GifOfAPhoto";
    }
    TempFolder dir;
    const auto photo = Photo(37, 21);
    GpBitmap* bitmap = MakeRgbBitmap(37, 21, photo);
    const std::string path = dir.Path(GetParam().file);
    ASSERT_EQ(Save(bitmap, path, GetParam().mime), Ok);
    GdipDisposeImage(bitmap);
    Loaded loaded;
    ASSERT_TRUE(Load(path, &loaded));
    EXPECT_EQ(loaded.pixels, photo);
    EXPECT_TRUE(loaded.palette.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessRoundTrip,
                         ::testing::Values(FormatCase{L"image/bmp", "a.bmp"},
                                           FormatCase{L"image/png", "a.png"},
                                           FormatCase{L"image/tiff", "a.tif"},
                                           FormatCase{L"image/gif", "a.gif"}));

TEST(GdiplusSave, JpegQualityHundredIsCloseAndLowerQualityIsSmaller) {
    TempFolder dir;
    const auto photo = Photo(64, 48);
    GpBitmap* bitmap = MakeRgbBitmap(64, 48, photo);
    ASSERT_EQ(Save(bitmap, dir.Path("best.jpg"), L"image/jpeg", 100), Ok);
    ASSERT_EQ(Save(bitmap, dir.Path("poor.jpg"), L"image/jpeg", 10), Ok);
    ULONG tooHigh = 101;
    EncoderParameters bad{1, {{EncoderQuality, 1, EncoderParameterValueTypeLong, &tooHigh}}};
    CLSID jpeg{};
    ASSERT_TRUE(EncoderFor(L"image/jpeg", &jpeg));
    EXPECT_EQ(GdipSaveImageToFile(bitmap, Wide(dir.Path("bad.jpg")).c_str(), &jpeg, &bad),
              InvalidParameter);
    GdipDisposeImage(bitmap);
    EXPECT_LT(FileSize(dir.Path("poor.jpg")), FileSize(dir.Path("best.jpg")) / 2);
    Loaded best;
    ASSERT_TRUE(Load(dir.Path("best.jpg"), &best));
    // Chroma is subsampled even at quality 100; the textured picture shows it a little.
    EXPECT_LT(MeanError(best.pixels, photo), 4.0);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("bad.jpg")));
}

TEST(GdiplusSave, GifOfAPhotoStaysCloseAndOfAFewColoursIsExact) {
    TempFolder dir;
    const auto photo = Photo(120, 80);
    GpBitmap* bitmap = MakeRgbBitmap(120, 80, photo);
    ASSERT_EQ(Save(bitmap, dir.Path("photo.gif"), L"image/gif"), Ok);
    GdipDisposeImage(bitmap);
    Loaded loaded;
    ASSERT_TRUE(Load(dir.Path("photo.gif"), &loaded));
    EXPECT_LE(loaded.palette.size(), 256u);
    // The picture spreads over the whole colour cube; a uniform 6 × 7 × 6 table would be off
    // by about 10 levels on average.
    EXPECT_LT(MeanError(loaded.pixels, photo), 5.0);

    std::vector<std::uint32_t> few;
    for (int i = 0; i < 30 * 10; ++i) {
        few.push_back(static_cast<std::uint32_t>((i % 200) * 0x010307) & 0xFFFFFF);
    }
    bitmap = MakeRgbBitmap(30, 10, few);
    ASSERT_EQ(Save(bitmap, dir.Path("few.gif"), L"image/gif"), Ok);
    GdipDisposeImage(bitmap);
    ASSERT_TRUE(Load(dir.Path("few.gif"), &loaded));
    EXPECT_EQ(loaded.pixels, few);
}

TEST(GdiplusSave, FailedWritesReportAnErrorAndLeaveNoFile) {
    TempFolder dir;
    GpBitmap* bitmap = MakeRgbBitmap(4, 4, Photo(4, 4));
    // A folder that does not exist, a "folder" that is a file, and a name taken by a folder.
    EXPECT_NE(Save(bitmap, dir.Path("missing/out.png"), L"image/png"), Ok);
    std::ofstream(dir.Path("plain")) << "x";
    EXPECT_NE(Save(bitmap, dir.Path("plain/out.png"), L"image/png"), Ok);
    std::filesystem::create_directory(dir.Path("taken.png"));
    EXPECT_NE(Save(bitmap, dir.Path("taken.png"), L"image/png"), Ok);
    // An unknown encoder writes nothing.
    CLSID unknown{};
    EXPECT_EQ(GdipSaveImageToFile(bitmap, Wide(dir.Path("x.png")).c_str(), &unknown, nullptr),
              FileNotFound);
    GdipDisposeImage(bitmap);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"plain", "taken.png"}));
}

TEST(GdiplusSave, OverwritingReplacesTheWholeFile) {
    TempFolder dir;
    const std::string path = dir.Path("over.bmp");
    std::ofstream(path) << std::string(100000, 'z');
    GpBitmap* bitmap = MakeRgbBitmap(2, 2, {1, 2, 3, 4});
    ASSERT_EQ(Save(bitmap, path, L"image/bmp"), Ok);
    GdipDisposeImage(bitmap);
    EXPECT_LT(FileSize(path), 100u);
    Loaded loaded;
    ASSERT_TRUE(Load(path, &loaded));
    EXPECT_EQ(loaded.pixels, (std::vector<std::uint32_t>{1, 2, 3, 4}));
}

} // namespace
