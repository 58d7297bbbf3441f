// The image windows' loader and the photo library read the same files the same way: the same
// formats with the same pixels, and the same bad files refused.
#include "photoio/photo_io.h"
#include "tests/files/file_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using namespace filetest;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// An icon holding one PNG picture.
void WriteIcon(const std::string& png, const std::string& path, int width, int height) {
    const std::string image = Bytes(png);
    std::string icon("\0\0\1\0\1\0", 6);
    const std::uint32_t size = static_cast<std::uint32_t>(image.size()), offset = 22;
    const char entry[16] = {static_cast<char>(width),
                            static_cast<char>(height),
                            0,
                            0,
                            1,
                            0,
                            32,
                            0,
                            static_cast<char>(size),
                            static_cast<char>(size >> 8),
                            static_cast<char>(size >> 16),
                            static_cast<char>(size >> 24),
                            static_cast<char>(offset),
                            0,
                            0,
                            0};
    icon.append(entry, 16);
    icon += image;
    std::ofstream(path, std::ios::binary) << icon;
}

TEST(OneAnswer, EveryFormatTheWindowsOpenReadsWithTheSamePixels) {
    TempFolder dir;
    const int width = 24, height = 20;
    {
        FakeImageWindow source(200, width, height, 32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                // Few colours, so that GIF keeps them exactly.
                source.At32(x, y) = (x / 8) * 0x600000u + (y / 10) * 0x008000u + 0x40;
            }
        }
        QIV_SelectImage(200);
        const char* names[] = {"p.bmp", "p.jpg", "p.gif", "p.png", "p.tif"};
        for (int format = 0; format < 5; ++format) {
            ASSERT_EQ(QIV_SaveImage(width, height, format, dir.Path(names[format]).c_str()), 0);
        }
        QIV_RestoreImage();
    }
    WriteIcon(dir.Path("p.png"), dir.Path("p.ico"), width, height);
    for (const char* name : {"p.bmp", "p.jpg", "p.gif", "p.png", "p.tif", "p.ico"}) {
        SCOPED_TRACE(name);
        Picture window;
        ASSERT_TRUE(ReadPicture(dir.Path(name), &window));
        Photo photo;
        ASSERT_EQ(ReadPhoto(dir.Path(name).c_str(), &photo), PHOTO_OK);
        ASSERT_EQ(photo.width, window.width);
        ASSERT_EQ(photo.height, window.height);
        // Both decode JPEG with the same library, but allow for a different inverse DCT.
        const int tolerance = std::string(name) == "p.jpg" ? 2 : 0;
        for (std::size_t i = 0; i < window.pixels.size(); ++i) {
            const std::uint32_t w = window.pixels[i];
            for (int c = 0; c < 3; ++c) {
                ASSERT_NEAR(photo.rgb[3 * i + c], (w >> (16 - 8 * c)) & 0xFF, tolerance) << i;
            }
        }
    }
}

TEST(OneAnswer, TheSameBadFilesAreRefusedByBoth) {
    ResetImageWindowTable();
    FakeImageWindow window(5, 8, 8, 32);
    qiv_target = 5;
    const std::string data = QIV_TEST_DATA;
    for (const char* name :
         {"truncated.jpg", "truncated.png", "truncated.gif", "truncated.tif", "huge_claim.jpg",
          "huge_claim.png", "huge_claim.bmp", "zero_width.png", "text_named.jpg", "empty.gif"}) {
        const std::string path = data + "/" + name;
        Photo photo;
        EXPECT_NE(ReadPhoto(path.c_str(), &photo), PHOTO_OK) << name;
        EXPECT_EQ(QIV_LoadImage(path.c_str(), 0, 0), 1) << name;
    }
}

} // namespace
