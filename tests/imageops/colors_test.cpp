// Colour conversions: the documented values, and properties over every 24-bit colour.
#include "imageops/colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

struct Hsv {
    int h, s, v;
    bool operator==(const Hsv&) const = default;
};

Hsv ToHsv(int c) {
    Hsv out{-1, -1, -1};
    QIV_RgbToHsv(c, &out.h, &out.s, &out.v);
    return out;
}

TEST(Colors, KnownValues) {
    EXPECT_EQ(ToHsv(0xFF0000), (Hsv{0, 255, 255}));
    EXPECT_EQ(ToHsv(0x00FF00).h, 120);
    EXPECT_EQ(ToHsv(0x0000FF).h, 240);
    EXPECT_EQ(ToHsv(0xFFFF00).h, 60);
    EXPECT_EQ(ToHsv(0x808080), (Hsv{0, 0, 128}));
    EXPECT_EQ(ToHsv(0xFF8000), (Hsv{30, 255, 255}));
    EXPECT_EQ(QIV_HsvToRgb(255, 255, 30), 0xFF7F00);
    EXPECT_EQ(QIV_GetHue(0xFF00FF), 300);
    EXPECT_EQ(QIV_GetSaturation(0x102030), 0x20);
    EXPECT_EQ(QIV_GetValue(0x102030), 0x30);

    EXPECT_EQ(QIV_GetY(0xFFFFFF), 255);
    EXPECT_EQ(QIV_GetCr(0xFF0000), 128);
    // -6969532 / 65536 truncates toward zero; an arithmetic shift would give -107.
    EXPECT_EQ(QIV_GetCr(0x00FF00), -106);
    EXPECT_EQ(QIV_GetCb(0x00FF00), -83); // -5498692 / 65536
    EXPECT_EQ(QIV_GetQ(0x00FF00), -126); // -8271307 / 65536
    EXPECT_EQ(QIV_GetCr(0), 0);
    EXPECT_EQ(QIV_GetCb(0), 0);
    // The top byte is not part of the colour.
    EXPECT_EQ(QIV_GetY(static_cast<int>(0xFF000000u)), 0);
    // Out-of-range HSV arguments give the nearest valid colour, never a carry into red.
    EXPECT_EQ(QIV_HsvToRgb(300, 0, 0), 0xFFFFFF);
    EXPECT_EQ(QIV_HsvToRgb(255, 255, -5), 0xFF0000);
}

TEST(Colors, EveryColourKeepsTheHsvAndChromaRules) {
    int worstRoundTrip = 0;
    for (int c = 0; c < (1 << 24); ++c) {
        const int r = c >> 16;
        const int g = (c >> 8) & 0xFF;
        const int b = c & 0xFF;
        const int max = std::max({r, g, b});
        const int min = std::min({r, g, b});
        const Hsv hsv = ToHsv(c);
        ASSERT_TRUE(hsv.h >= 0 && hsv.h <= 359) << std::hex << c;
        ASSERT_EQ(hsv.s, max - min) << std::hex << c;
        ASSERT_EQ(hsv.v, max) << std::hex << c;
        const int back = QIV_HsvToRgb(hsv.v, hsv.s, hsv.h);
        ASSERT_EQ(back >> 24, 0);
        worstRoundTrip =
            std::max({worstRoundTrip, std::abs((back >> 16) - r),
                      std::abs(((back >> 8) & 0xFF) - g), std::abs((back & 0xFF) - b)});
        const int y = QIV_GetY(c);
        const int cr = QIV_GetCr(c);
        const int cb = QIV_GetCb(c);
        ASSERT_TRUE(y >= 0 && y <= 255 && cr >= -128 && cr <= 128 && cb >= -128 && cb <= 128)
            << std::hex << c;
        if (r == g && g == b) {
            ASSERT_EQ(y, r);
            ASSERT_EQ(cr, 0);
            ASSERT_EQ(cb, 0);
            ASSERT_EQ(QIV_GetU(c), 0);
            ASSERT_EQ(QIV_GetI(c), 0);
        }
    }
    // Hue is whole degrees, so a channel between max and min may come back a few steps off
    // (255 / 60 per degree), never more.
    EXPECT_LE(worstRoundTrip, 5);
}

} // namespace
