// Stereo photos in JPEG files: multi-picture files found through their index or, without one,
// after a first picture that ends cleanly; damaged indexes refused with a reason; Exif
// orientation turning single photos and both views of a pair alike.
#include "photoio/mpo_reader.h"
#include "tests/support/mpo_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using mpo_files::Bytes;

// A JPEG w x h of one flat colour (flat colours survive JPEG almost exactly).
Bytes FlatJpeg(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < w * h; ++i) {
        rgb.insert(rgb.end(), {r, g, b});
    }
    Bytes bytes;
    EncodePhoto(PHOTO_JPEG, {rgb.data(), w, h, 3, static_cast<std::size_t>(w) * 3}, 95, &bytes,
                nullptr);
    return bytes;
}

// A JPEG whose top-left quarter is white and the rest black, to see turns.
Bytes CornerJpeg(int w, int h) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3, 0);
    for (int y = 0; y < h / 2; ++y) {
        for (int x = 0; x < w / 2; ++x) {
            std::fill_n(rgb.begin() + (static_cast<std::size_t>(y) * w + x) * 3, 3, 255);
        }
    }
    Bytes bytes;
    EncodePhoto(PHOTO_JPEG, {rgb.data(), w, h, 3, static_cast<std::size_t>(w) * 3}, 95, &bytes,
                nullptr);
    return bytes;
}

int ReadAs(const std::string& name, const Bytes& bytes, Photo* photo, std::string* detail) {
    TempFolder dir;
    std::ofstream(dir.Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return ReadPhoto(dir.Path(name).c_str(), photo, detail);
}

int Red(const Photo& p, int x, int y) {
    return p.rgb[(static_cast<std::size_t>(y) * p.width + x) * 3];
}

TEST(Mpo, TwoPicturesOpenSideBySideLeftEyeFirstThroughEitherByteOrderOrNoIndex) {
    const Bytes left = FlatJpeg(32, 16, 200, 40, 40);
    const Bytes right = FlatJpeg(32, 16, 40, 40, 200);
    for (const mpo_files::IndexShape shape :
         {mpo_files::IndexShape{}, mpo_files::IndexShape{.bigEndian = true},
          mpo_files::IndexShape{.noIndex = true}}) {
        Photo photo;
        std::string detail;
        ASSERT_EQ(ReadAs("pair.mpo", mpo_files::MakeMpo(left, right, shape), &photo, &detail),
                  PHOTO_OK)
            << detail;
        EXPECT_EQ(photo.width, 64);
        EXPECT_EQ(photo.height, 16);
        EXPECT_NEAR(Red(photo, 5, 5), 200, 3);
        EXPECT_NEAR(Red(photo, 40, 5), 40, 3);
    }
    // Indexed as a stereo pair, it is one whatever its name.
    Photo photo;
    ASSERT_EQ(ReadAs("pair.jpg", mpo_files::MakeMpo(left, right), &photo, nullptr), PHOTO_OK);
    EXPECT_EQ(photo.width, 64);
}

TEST(Mpo, DamagedIndexesAndSinglePicturesAreRefusedWithAReason) {
    const Bytes one = FlatJpeg(16, 8, 90, 90, 90);
    Bytes cutFirst = one;
    cutFirst.resize(one.size() - 40);
    Bytes junkBetween = one;
    junkBetween.insert(junkBetween.end(), {0, 1, 2, 3});
    junkBetween.insert(junkBetween.end(), one.begin(), one.end());
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"truncated index", mpo_files::MakeMpo(one, one, {.truncated = true})},
        {"offset past the end", mpo_files::MakeMpo(one, one, {.pastEnd = 1000})},
        {"count 0", mpo_files::MakeMpo(one, one, {.listed = 0})},
        {"one picture listed", mpo_files::MakeMpo(one, one, {.listed = 1})},
        {"one picture, no index", one},
        {"first picture cut, no index",
         [&] {
             Bytes b = cutFirst;
             b.insert(b.end(), one.begin(), one.end());
             return b;
         }()},
        {"bytes between the pictures, no index", junkBetween},
    };
    for (const auto& c : cases) {
        Photo photo;
        std::string detail;
        EXPECT_EQ(ReadAs("bad.mpo", c.bytes, &photo, &detail), PHOTO_DAMAGED) << c.name;
        EXPECT_FALSE(detail.empty()) << c.name;
        EXPECT_TRUE(photo.rgb.empty()) << c.name;
        // No prefix of a damaged file is taken for a pair, nor read past its end.
        for (std::size_t cut = 0; cut < c.bytes.size(); cut += 97) {
            StereoPictures where{};
            EXPECT_NE(FindStereoPictures(c.bytes.data(), cut, &where, nullptr), PHOTO_OK)
                << c.name << " cut at " << cut;
        }
    }
}

TEST(ExifOrientation, APhotoTurnsTheRightWayUpAndBothViewsOfAPairAlike) {
    // Orientation 6: stored turned left; shown after a quarter turn clockwise, the stored
    // top-left corner lands top-right.
    const Bytes stored = CornerJpeg(32, 16);
    for (const bool big : {false, true}) {
        Photo photo;
        ASSERT_EQ(ReadAs("a.jpg", mpo_files::WithOrientation(stored, 6, big), &photo, nullptr),
                  PHOTO_OK);
        EXPECT_EQ(photo.width, 16);
        EXPECT_EQ(photo.height, 32);
        EXPECT_GT(Red(photo, 12, 4), 200);
        EXPECT_LT(Red(photo, 3, 4), 50);
    }
    Photo turned;
    ASSERT_EQ(ReadAs("a.jpg", mpo_files::WithOrientation(stored, 3), &turned, nullptr), PHOTO_OK);
    EXPECT_GT(Red(turned, 28, 12), 200); // 180 degrees: top-left to bottom-right
    EXPECT_LT(Red(turned, 3, 3), 50);

    Photo pair;
    ASSERT_EQ(ReadAs("p.mpo", mpo_files::MakeMpo(mpo_files::WithOrientation(stored, 8), stored),
                     &pair, nullptr),
              PHOTO_OK);
    EXPECT_EQ(pair.width, 32);
    EXPECT_EQ(pair.height, 32);
    // Orientation 8: the stored top-left corner lands bottom-left, in both views.
    EXPECT_GT(Red(pair, 3, 28), 200);
    EXPECT_GT(Red(pair, 16 + 3, 28), 200);
    EXPECT_LT(Red(pair, 16 + 3, 3), 50);
}

} // namespace
