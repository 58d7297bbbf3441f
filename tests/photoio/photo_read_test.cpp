// Reading photos: round trips through each writer, and bad files refused quietly with the
// picture left alone.
#include "photoio/photo_io.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <png.h>

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

// A reader that keeps grey files grey must see the values the RGB reading gives each channel,
// whatever the file's depth and transparency; a colour file stays RGB.
TEST(PhotoRead, AGreyPngKeptGreyHoldsTheValuesOfItsRgbReading) {
    TempFolder dir;
    const int width = 29, height = 11;
    const std::vector<std::uint8_t> bytes = Gradient(width, height, 4 * 2);
    const png_uint_32 formats[] = {PNG_FORMAT_GRAY, PNG_FORMAT_GA, PNG_FORMAT_LINEAR_Y,
                                   PNG_FORMAT_LINEAR_Y_ALPHA, PNG_FORMAT_RGB};
    for (const png_uint_32 format : formats) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = format;
        const std::string path = dir.Path("g" + std::to_string(format) + ".png");
        ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr))
            << image.message;
        Photo rgb, kept;
        ASSERT_EQ(ReadPhoto(path.c_str(), &rgb), PHOTO_OK);
        ASSERT_EQ(ReadPhoto(path.c_str(), &kept, nullptr, PHOTO_KEEP_GREY), PHOTO_OK);
        ASSERT_EQ(rgb.channels, 3);
        if ((format & PNG_FORMAT_FLAG_COLOR) != 0) {
            EXPECT_EQ(kept.channels, 3);
            EXPECT_EQ(kept.rgb, rgb.rgb);
            continue;
        }
        ASSERT_EQ(kept.channels, 1) << format;
        ASSERT_EQ(kept.rgb.size(), std::size_t(width) * height);
        for (std::size_t i = 0; i < kept.rgb.size(); ++i) {
            ASSERT_EQ(kept.rgb[i], rgb.rgb[3 * i]) << format << " pixel " << i;
            ASSERT_EQ(rgb.rgb[3 * i + 1], rgb.rgb[3 * i]);
        }
    }
}
