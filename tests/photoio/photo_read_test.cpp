// Reading photos: round trips through each writer, and bad files refused quietly with the
// picture left alone.
#include "photoio/photo_io.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::vector<std::uint8_t> Gradient(int width, int height, int channels) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 13);
    }
    return pixels;
}

TEST(PhotoRead, PngKeepsEveryPixelAndJpegStaysClose) {
    TempFolder dir;
    const int width = 33, height = 17;
    const std::vector<std::uint8_t> rgb = Gradient(width, height, 3);
    const PhotoPixels pixels{rgb.data(), width, height, 3, static_cast<std::size_t>(width) * 3};
    ASSERT_EQ(WritePhoto(dir.Path("a.png").c_str(), PHOTO_PNG, pixels, 0, PHOTO_REPLACE), PHOTO_OK);
    Photo photo;
    ASSERT_EQ(ReadPhoto(dir.Path("a.png").c_str(), &photo), PHOTO_OK);
    EXPECT_EQ(photo.width, width);
    EXPECT_EQ(photo.height, height);
    EXPECT_EQ(photo.rgb, rgb);

    // A flat JPEG at quality 100 comes back within a step or two.
    std::vector<std::uint8_t> flat(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < flat.size(); i += 3) {
        flat[i] = 200, flat[i + 1] = 120, flat[i + 2] = 40;
    }
    const PhotoPixels flatPixels{flat.data(), width, height, 3,
                                 static_cast<std::size_t>(width) * 3};
    ASSERT_EQ(WritePhoto(dir.Path("a.jpg").c_str(), PHOTO_JPEG, flatPixels, 100, PHOTO_REPLACE),
              PHOTO_OK);
    std::string warning = "x";
    ASSERT_EQ(ReadPhoto(dir.Path("a.jpg").c_str(), &photo, &warning), PHOTO_OK);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(photo.rgb.size(), flat.size());
    for (std::size_t i = 0; i < flat.size(); ++i) {
        ASSERT_NEAR(photo.rgb[i], flat[i], 3) << i;
    }
}

TEST(PhotoRead, BadFilesAreRefusedQuietlyWithTheirReason) {
    const std::string data = QIV_TEST_DATA;
    struct Case {
        const char* name;
        int status;
    };
    const Case cases[] = {
        {"truncated.jpg", PHOTO_DAMAGED},      {"truncated.png", PHOTO_DAMAGED},
        {"truncated.gif", PHOTO_DAMAGED},      {"truncated.tif", PHOTO_DAMAGED},
        {"huge_claim.jpg", PHOTO_TOO_LARGE},   {"huge_claim.png", PHOTO_TOO_LARGE},
        {"huge_claim.bmp", PHOTO_TOO_LARGE},   {"zero_width.png", PHOTO_DAMAGED},
        {"text_named.jpg", PHOTO_NOT_A_PHOTO}, {"empty.gif", PHOTO_NOT_A_PHOTO},
        {"absent.png", PHOTO_NOT_FOUND},
    };
    for (const Case& c : cases) {
        Photo photo;
        photo.width = 5;
        std::string detail;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ReadPhoto((data + "/" + c.name).c_str(), &photo, &detail), c.status) << c.name;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << c.name;
        EXPECT_EQ(photo.width, 5) << c.name;
        EXPECT_FALSE(detail.empty()) << c.name;
    }
    Photo photo;
    EXPECT_EQ(ReadPhoto(data.c_str(), &photo), PHOTO_UNREADABLE);
}

TEST(PhotoRead, AJpegCutAnywhereInItsScanIsRefused) {
    TempFolder dir;
    const std::vector<std::uint8_t> rgb = Gradient(64, 64, 3);
    const PhotoPixels pixels{rgb.data(), 64, 64, 3, 64 * 3};
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(EncodePhoto(PHOTO_JPEG, pixels, 90, &bytes, nullptr), PHOTO_OK);
    for (const std::size_t cut : {bytes.size() - 2, bytes.size() * 3 / 4, bytes.size() / 2}) {
        Photo photo;
        EXPECT_EQ(DecodePhoto(bytes.data(), cut, &photo, nullptr), PHOTO_DAMAGED) << cut;
    }
}

} // namespace
