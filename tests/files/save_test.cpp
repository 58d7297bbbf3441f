// QIV_SaveImage: names and extensions, the region saved, 8-bit files, JPEG quality through
// the menu, result codes.
#include "tests/files/file_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace filetest;

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetImageWindowTable();
        jpegQuality = 100;
    }
    TempFolder dir;
};

TEST(AppendExtensionTest, AddsTheExtensionOnlyWhenTheLastFourCharactersLackIt) {
    struct Case {
        const WCHAR* path;
        const WCHAR* extension;
        const WCHAR* result;
    };
    const Case cases[] = {
        {L"out", L".png", L"out.png"},
        {L"OUT.PNG", L".png", L"OUT.PNG"},
        {L"a.jpeg", L".jpg", L"a.jpeg.jpg"},
        {L"a.tiff", L".tif", L"a.tiff.tif"},
        {L"x.BMP", L".bmp", L"x.BMP"},
        {L"ab", L".gif", L"ab.gif"},
        {L"", L".bmp", L".bmp"},
        {L"dir.png/pic", L".png", L"dir.png/pic.png"},
    };
    for (const Case& c : cases) {
        WCHAR path[QIV_PATH_SIZE];
        std::wcscpy(path, c.path);
        AppendExtension(path, c.extension);
        EXPECT_STREQ(path, c.result);
    }
    // No room: the path stays as it is rather than overflow.
    WCHAR full[QIV_PATH_SIZE];
    std::wmemset(full, L'a', QIV_PATH_SIZE - 3);
    full[QIV_PATH_SIZE - 3] = 0;
    AppendExtension(full, L".png");
    EXPECT_EQ(std::wcslen(full), static_cast<std::size_t>(QIV_PATH_SIZE - 3));
}

TEST_F(SaveTest, NamesGetTheFormatsExtensionUnlessTheyHaveIt) {
    FakeImageWindow window(0, 4, 4, 32);
    qiv_target = 0;
    EXPECT_EQ(QIV_SaveImage(4, 4, 3, dir.Path("out").c_str()), 0);
    EXPECT_TRUE(Exists(dir.Path("out.png")));
    EXPECT_EQ(QIV_SaveImage(4, 4, 3, dir.Path("OUT.PNG").c_str()), 0);
    EXPECT_TRUE(Exists(dir.Path("OUT.PNG")));
    EXPECT_FALSE(Exists(dir.Path("OUT.PNG.png")));
    EXPECT_EQ(QIV_SaveImage(4, 4, 1, dir.Path("photo.jpeg").c_str()), 0);
    EXPECT_TRUE(Exists(dir.Path("photo.jpeg.jpg")));
    EXPECT_EQ(QIV_SaveImage(4, 4, 4, dir.Path("scan").c_str()), 0);
    Picture picture;
    ASSERT_TRUE(ReadPicture(dir.Path("scan.tif"), &picture));
    EXPECT_EQ(picture.width, 4);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        ++files;
    }
    EXPECT_EQ(files, 4);
}

TEST_F(SaveTest, RegionLargerThanTheImageIsBlackBeyondItsEdges) {
    FakeImageWindow window(1, 3, 2, 32);
    window.Fill(0xFFFFFF);
    window.At32(2, 1) = 0x102030;
    qiv_target = 1;
    ASSERT_EQ(QIV_SaveImage(5, 4, 0, dir.Path("big").c_str()), 0);
    Picture picture;
    ASSERT_TRUE(ReadPicture(dir.Path("big.bmp"), &picture));
    ASSERT_EQ(picture.width, 5);
    ASSERT_EQ(picture.height, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t want = x == 2 && y == 1 ? 0x102030u
                                       : x < 3 && y < 2 ? 0xFFFFFFu
                                                        : 0u;
            EXPECT_EQ(picture.pixels[y * 5 + x], want) << x << "," << y;
        }
    }
    // A smaller region is the top-left corner.
    ASSERT_EQ(QIV_SaveImage(1, 1, 3, dir.Path("corner").c_str()), 0);
    ASSERT_TRUE(ReadPicture(dir.Path("corner.png"), &picture));
    EXPECT_EQ(picture.pixels, std::vector<std::uint32_t>{0xFFFFFFu});
}

TEST_F(SaveTest, EightBitWindowFiveWideWritesEightBitFilesWithItsTable) {
    FakeImageWindow window(2, 5, 3, 8);
    const std::vector<std::uint32_t> table = TestTable();
    window.SetTable(table);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            window.At8(x, y) = static_cast<std::uint8_t>(50 * y + 9 * x + 2);
        }
    }
    qiv_target = 2;
    for (int format : {0, 2, 3, 4}) {
        const std::string name = "eight" + std::to_string(format);
        ASSERT_EQ(QIV_SaveImage(5, 3, format, dir.Path(name).c_str()), 0);
        const char* extensions[] = {".bmp", ".jpg", ".gif", ".png", ".tif"};
        Picture picture;
        ASSERT_TRUE(ReadPicture(dir.Path(name + extensions[format]), &picture)) << format;
        EXPECT_EQ(picture.format, PixelFormat8bppIndexed) << format;
        EXPECT_EQ(picture.width, 5);
        EXPECT_EQ(picture.palette, table) << format;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                ASSERT_EQ(picture.pixels[y * 5 + x], table[50 * y + 9 * x + 2]) << format;
            }
        }
    }
}

TEST_F(SaveTest, JpegThroughTheMenuUsesQualityHundredAndKeepsTheSetting) {
    FakeImageWindow window(3, 64, 64, 32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            window.At32(x, y) =
                static_cast<std::uint32_t>((x * 4) << 16 | (y * 4) << 8 | ((x * y) & 0xFF));
        }
    }
    qiv_target = 3;
    ASSERT_EQ(QIV_SaveImage(64, 64, 1, dir.Path("best").c_str()), 0);
    jpegQuality = 10;
    ASSERT_EQ(QIV_SaveImage(64, 64, 1, dir.Path("poor").c_str()), 0);
    ASSERT_EQ(SaveImageByFilter(3, dir.Path("menu").c_str()), 0);
    EXPECT_EQ(jpegQuality, 10);
    const auto best = std::filesystem::file_size(dir.Path("best.jpg"));
    EXPECT_EQ(std::filesystem::file_size(dir.Path("menu.jpg")), best);
    EXPECT_LT(std::filesystem::file_size(dir.Path("poor.jpg")), best);
    // The other filters pick their formats; 1 (All Files) saves BMP.
    ASSERT_EQ(SaveImageByFilter(1, dir.Path("all").c_str()), 0);
    ASSERT_EQ(SaveImageByFilter(5, dir.Path("five").c_str()), 0);
    EXPECT_TRUE(Exists(dir.Path("all.bmp")));
    EXPECT_TRUE(Exists(dir.Path("five.png")));
}

TEST_F(SaveTest, ResultCodes) {
    qiv_target = 7;
    EXPECT_EQ(QIV_SaveImage(4, 4, 0, dir.Path("x").c_str()), 3);
    FakeImageWindow window(7, 4, 4, 32);
    EXPECT_EQ(QIV_SaveImage(0, 4, 0, dir.Path("x").c_str()), 2);
    EXPECT_EQ(QIV_SaveImage(4, 0, 0, dir.Path("x").c_str()), 2);
    EXPECT_EQ(QIV_SaveImage(-4, 4, 0, dir.Path("x").c_str()), 2);
    EXPECT_EQ(QIV_SaveImage(4, 4, 5, dir.Path("x").c_str()), 1);
    EXPECT_EQ(QIV_SaveImage(4, 4, -1, dir.Path("x").c_str()), 1);
    EXPECT_EQ(QIV_SaveImage(4, 4, 3, dir.Path("no/such/folder/x").c_str()), 1);
    EXPECT_EQ(QIV_SaveImage(100000, 100000, 3, dir.Path("huge").c_str()), 1);
    // A name that leaves no room for the extension is refused, not cut.
    const std::string longName = dir.Path(std::string(QIV_LONG_PATH - 5 - dir.path.size(), 'n'));
    EXPECT_EQ(QIV_SaveImage(4, 4, 3, longName.c_str()), 1);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        ++files;
    }
    EXPECT_EQ(files, 0);
}

} // namespace
