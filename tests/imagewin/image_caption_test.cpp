// Captions of image windows.
#include "imagewin/image_caption.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Caption(const char* title, int zoom, int bits, int stretchMode) {
    char caption[IMAGE_CAPTION_BYTES];
    std::memset(caption, 'x', sizeof caption);
    FormatImageCaption(caption, title, zoom, bits, stretchMode);
    return caption;
}

// True when text is well-formed UTF-8.
bool ValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

} // namespace

TEST(ImageCaption, ShowsTitleZoomDepthAndSmoothing) {
    EXPECT_EQ(Caption("Left side", 30, 32, 3), "Left side(30%)");
    EXPECT_EQ(Caption("Left side", 30, 32, 4), "Left side(30%)*");
    EXPECT_EQ(Caption("Grey", 100, 8, 3), "Grey(100%)[8bit]");
    EXPECT_EQ(Caption("Grey", 1200, 8, 4), "Grey(1200%)[8bit]*");
    EXPECT_EQ(Caption(nullptr, 50, 32, 3), "(50%)");
    EXPECT_EQ(Caption("100%", 5, 32, 0), "100%(5%)"); // the title is not a format
}

TEST(ImageCaption, LongTitlesAreCutAndKeepTheZoom) {
    const std::string ascii(400, 'a');
    const std::string caption = Caption(ascii.c_str(), 42, 8, 4);
    EXPECT_EQ(caption.size(), 255u);
    EXPECT_EQ(caption.substr(caption.size() - 12), "(42%)[8bit]*");

    // A title that fits exactly is kept whole.
    const std::string exact(255 - 5, 'b');
    EXPECT_EQ(Caption(exact.c_str(), 42, 32, 3), exact + "(42%)");

    // Three-byte characters are cut whole, never in the middle.
    std::string wide;
    for (int i = 0; i < 120; ++i) {
        wide += "\xE5\xB7\xA6"; // a CJK character
    }
    for (int zoom : {7, 42, 100, 1200}) {
        const std::string cut = Caption(wide.c_str(), zoom, 32, 3);
        EXPECT_LE(cut.size(), 255u);
        EXPECT_GE(cut.size(), 253u);
        EXPECT_TRUE(ValidUtf8(cut)) << zoom;
        EXPECT_EQ(cut.substr(cut.find('(')), "(" + std::to_string(zoom) + "%)");
    }
}
