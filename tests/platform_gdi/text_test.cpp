// Fonts and TextOutW on Qt's offscreen platform: the OEM cell model, opaque and transparent
// backgrounds, metrics, the Japanese face lookup.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

using gditest::Canvas;

namespace {

constexpr std::uint32_t BLUE = 0x000000FF;
constexpr std::uint32_t MARK = 0x00ABCDEF;
constexpr std::uint32_t WHITE = 0x00FFFFFF;

// A canvas with the OEM font selected, white text on blue.
class OemCanvas : public Canvas {
public:
    OemCanvas(int width, int height, int bits = 32) : Canvas(width, height, bits) {
        SelectObject(dc(), GetStockObject(OEM_FIXED_FONT));
        SetTextColor(dc(), RGB(255, 255, 255));
        SetBkColor(dc(), RGB(0, 0, 255));
    }
};

// Columns x0 .. x1 - 1 hold at least one pixel of the given colour.
bool HasInk(const Canvas& c, int x0, int x1, std::uint32_t ink) {
    for (int y = 0; y < c.height(); ++y) {
        for (int x = x0; x < x1; ++x) {
            if (c.Get(x, y) == ink) {
                return true;
            }
        }
    }
    return false;
}

int CountInk(const Canvas& c, std::uint32_t background) {
    int n = 0;
    for (std::uint32_t p : c.All()) {
        n += p != background;
    }
    return n;
}

TEST(OemFont, HasEightBySixteenCells) {
    OemCanvas c(4, 4);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 16);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    EXPECT_EQ(tm.tmMaxCharWidth, 16);
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0); // the bit means variable pitch
    int widths[3] = {};
    ASSERT_TRUE(GetCharWidth32W(c.dc(), L'A', L'C', widths));
    EXPECT_EQ(widths[0], 8);
    EXPECT_EQ(widths[2], 8);
    ASSERT_TRUE(GetCharWidthW(c.dc(), 0x3042, 0x3042, widths));
    EXPECT_EQ(widths[0], 16);
    // Half-width katakana stays one cell, characters beyond the first plane are whole cells.
    ASSERT_TRUE(GetCharWidth32W(c.dc(), 0xFF71, 0xFF71, widths));
    EXPECT_EQ(widths[0], 8);
    ASSERT_TRUE(GetCharWidth32W(c.dc(), 0x1F600, 0x1F600, widths));
    EXPECT_EQ(widths[0] % 8, 0);
    EXPECT_FALSE(GetCharWidth32W(c.dc(), L'C', L'A', widths));
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc(), L"Aあ\tz", 4, &size));
    EXPECT_EQ(size.cx, 8 + 16 + 8 + 8);
    EXPECT_EQ(size.cy, 16);
}

TEST(OemFont, OpaqueTextFillsExactlyItsCells) {
    OemCanvas c(48, 20);
    c.Fill(MARK);
    ASSERT_TRUE(TextOutW(c.dc(), 0, 2, L"Aあ", 2));
    // Cells: 'A' in x 0..7, 'あ' in x 8..23, rows 2..17; ink is pure white (no smoothing).
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 48; ++x) {
            const std::uint32_t p = c.Get(x, y);
            if (x < 24 && y >= 2 && y < 18) {
                EXPECT_TRUE(p == BLUE || p == WHITE) << x << "," << y;
            } else {
                EXPECT_EQ(p, MARK) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(HasInk(c, 0, 8, WHITE));
    EXPECT_TRUE(HasInk(c, 8, 16, WHITE));
    EXPECT_TRUE(HasInk(c, 16, 24, WHITE));
}

TEST(OemFont, TransparentTextLeavesTheBackground) {
    OemCanvas c(16, 16);
    c.Fill(MARK);
    SetBkMode(c.dc(), TRANSPARENT);
    ASSERT_TRUE(TextOutW(c.dc(), 0, 0, L"H\tI", 3));
    int ink = 0;
    for (std::uint32_t p : c.All()) {
        EXPECT_TRUE(p == MARK || p == WHITE);
        ink += p == WHITE;
    }
    EXPECT_GT(ink, 10);
    // The tab took one cell and drew nothing: 'I' starts at x = 16, outside this canvas.
    EXPECT_TRUE(HasInk(c, 0, 8, WHITE));
    EXPECT_FALSE(HasInk(c, 8, 16, WHITE));
}

TEST(OemFont, ClipsAtEveryEdge) {
    OemCanvas reference(40, 16);
    ASSERT_TRUE(TextOutW(reference.dc(), 8, 0, L"XY", 2));
    struct Case {
        int x, y;
    };
    for (Case at : {Case{-4, 0}, Case{20, 0}, Case{0, -9}, Case{0, 9}}) {
        OemCanvas c(24, 16);
        c.Fill(MARK);
        ASSERT_TRUE(TextOutW(c.dc(), at.x, at.y, L"XY", 2));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x) {
                const int rx = x - at.x + 8;
                const int ry = y - at.y;
                const bool covered = rx >= 8 && rx < 24 && ry >= 0 && ry < 16;
                EXPECT_EQ(c.Get(x, y), covered ? reference.Get(rx, ry) : MARK)
                    << at.x << "," << at.y << " pixel " << x << "," << y;
            }
        }
    }
    OemCanvas c(8, 8);
    EXPECT_TRUE(TextOutW(c.dc(), 100000, -100000, L"far", 3));
    EXPECT_TRUE(TextOutW(c.dc(), 0x7FFFFFF0, 0, L"overflowing", 11));
    EXPECT_TRUE(TextOutW(c.dc(), 0, 0, L"", 0));
    EXPECT_FALSE(TextOutW(c.dc(), 0, 0, nullptr, 2));
    EXPECT_FALSE(TextOutW(c.dc(), 0, 0, L"x", -1));
    const wchar_t invalid[] = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(0xD800)};
    EXPECT_TRUE(TextOutW(c.dc(), 0, 0, invalid, 2));
}

TEST(OemFont, DrawsIndicesIntoEightBitBitmaps) {
    OemCanvas c(8, 16, 8);
    c.Fill(77);
    ASSERT_TRUE(TextOutW(c.dc(), 0, 0, L"M", 1));
    int text = 0;
    for (std::uint32_t p : c.All()) {
        EXPECT_TRUE(p == 255 || p == 85) << p; // white, and the grey nearest to blue
        text += p == 255;
    }
    EXPECT_GT(text, 10);
}

TEST(Faces, JapaneseGothicNamesMapToAnInstalledGothic) {
    auto metrics = [](const wchar_t* face, TEXTMETRICW* tm, int* wide) {
        Canvas c(1, 1);
        HFONT font =
            CreateFontW(16, 8, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
        HGDIOBJ old = SelectObject(c.dc(), font);
        ASSERT_TRUE(GetTextMetricsW(c.dc(), tm));
        ASSERT_TRUE(GetCharWidth32W(c.dc(), 0x65E5, 0x65E5, wide));
        SelectObject(c.dc(), old);
        DeleteObject(font);
    };
    TEXTMETRICW ipa{};
    TEXTMETRICW ms{};
    TEXTMETRICW latin{};
    TEXTMETRICW fallback{};
    int ipaWide = 0;
    int msWide = 0;
    int latinWide = 0;
    int fallbackWide = 0;
    metrics(L"IPAGothic", &ipa, &ipaWide);
    metrics(L"ＭＳ ゴシック", &ms, &msWide);
    metrics(L"MS Gothic", &latin, &latinWide);
    metrics(L"No Such Face", &fallback, &fallbackWide);
    // A cell 16 high and 8 wide, two cells for a kanji, fixed pitch: a console-style Gothic.
    EXPECT_EQ(ms.tmHeight, 16);
    EXPECT_EQ(ms.tmAveCharWidth, 8);
    EXPECT_EQ(msWide, 16);
    EXPECT_EQ(ms.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    EXPECT_EQ(std::memcmp(&ms, &ipa, sizeof ms), 0);
    EXPECT_EQ(std::memcmp(&latin, &ipa, sizeof ms), 0);
    // An unknown face falls back to a proportional one: the mapping is what made the difference.
    EXPECT_NE(fallback.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
}

TEST(Faces, HeightsWidthsAndStyles) {
    Canvas c(64, 40);
    auto select = [&](HFONT font) {
        DeleteObject(SelectObject(c.dc(), font));
        TEXTMETRICW tm{};
        EXPECT_TRUE(GetTextMetricsW(c.dc(), &tm));
        return tm;
    };
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT)); // start from a stock font
    // Positive heights ask for the cell, negative ones for the character.
    TEXTMETRICW cell = select(CreateFontW(30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"DejaVu Sans"));
    EXPECT_LE(cell.tmHeight, 30);
    EXPECT_GE(cell.tmHeight, 28);
    TEXTMETRICW em = select(CreateFontW(-30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"DejaVu Sans"));
    EXPECT_GT(em.tmHeight, 30);
    EXPECT_EQ(em.tmInternalLeading, em.tmHeight - 30);
    // A width asks for a stretched face.
    TEXTMETRICW wide =
        select(CreateFontW(16, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"DejaVu Sans Mono"));
    EXPECT_NEAR(wide.tmAveCharWidth, 16, 1);
    TEXTMETRICW bold =
        select(CreateFontW(16, 0, 0, 0, FW_BOLD, 1, 1, 0, 0, 0, 0, 0, 0, L"DejaVu Sans"));
    EXPECT_EQ(bold.tmWeight, FW_BOLD);
    EXPECT_EQ(bold.tmItalic, 1);
    EXPECT_EQ(bold.tmUnderlined, 1);
    // An underlined blank still draws its line.
    c.Fill(0);
    SetBkMode(c.dc(), TRANSPARENT);
    SetTextColor(c.dc(), RGB(255, 255, 255));
    ASSERT_TRUE(TextOutW(c.dc(), 0, 0, L"   ", 3));
    EXPECT_GT(CountInk(c, 0), 3);
    // Absurd sizes are capped rather than allocated.
    TEXTMETRICW huge = select(CreateFontW(-2000000000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L""));
    EXPECT_GT(huge.tmHeight, 1000);
    EXPECT_TRUE(TextOutW(c.dc(), 0, 0, L"W", 1));
    DeleteObject(SelectObject(c.dc(), GetStockObject(SYSTEM_FONT)));
}

TEST(Faces, BoldInksMoreAndAbcWidthsAddUpToTheAdvance) {
    auto inkOf = [](LONG weight) {
        Canvas c(80, 24);
        HFONT font = CreateFontW(-16, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, L"DejaVu Sans");
        HGDIOBJ old = SelectObject(c.dc(), font);
        SetBkMode(c.dc(), TRANSPARENT);
        SetTextColor(c.dc(), RGB(255, 255, 255));
        TextOutW(c.dc(), 2, 2, L"Wide", 4);
        const int ink = CountInk(c, 0);
        SelectObject(c.dc(), old);
        DeleteObject(font);
        return ink;
    };
    EXPECT_GT(inkOf(FW_BOLD), inkOf(FW_NORMAL));

    Canvas c(1, 1);
    HFONT font = CreateFontW(-20, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, L"DejaVu Serif");
    SelectObject(c.dc(), font);
    ABC abc[4] = {};
    int widths[4] = {};
    ASSERT_TRUE(GetCharABCWidthsW(c.dc(), L'f', L'i', abc));
    ASSERT_TRUE(GetCharWidth32W(c.dc(), L'f', L'i', widths));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(abc[i].abcA + static_cast<int>(abc[i].abcB) + abc[i].abcC, widths[i]);
        EXPECT_GT(abc[i].abcB, 0u);
    }
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc(), L"fghi", 4, &size));
    EXPECT_EQ(size.cx, widths[0] + widths[1] + widths[2] + widths[3]);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(Screen, ReportsTheTestScreen) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
    EXPECT_GT(GetDeviceCaps(screen, VERTRES), 0);
    ReleaseDC(nullptr, screen);
}

} // namespace
