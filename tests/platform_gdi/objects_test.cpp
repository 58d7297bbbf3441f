// The object table: stale and wrong-kind handles, selection rules, stock objects, defaults.
#include "gdi_test_support.h"
#include "platform/win32_user.h" // GetSysColor

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

using gditest::Canvas;

namespace {

TEST(Handles, StaleAndWrongKindHandlesAreRefused) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(dc && bitmap && brush);
    ASSERT_TRUE(DeleteObject(bitmap));
    // The slot may be reused at once; the old handle still names nothing.
    HBITMAP again = CreateCompatibleBitmap(dc, 4, 4);
    EXPECT_NE(again, bitmap);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectW(bitmap, sizeof(BITMAP), nullptr), 0);
    EXPECT_EQ(GetObjectType(bitmap), 0u);

    // A brush where a DC is expected, a DC where an object is expected.
    auto* brushAsDc = reinterpret_cast<HDC>(brush);
    EXPECT_FALSE(PatBlt(brushAsDc, 0, 0, 1, 1, WHITENESS));
    EXPECT_EQ(SetStretchBltMode(brushAsDc, HALFTONE), 0);
    EXPECT_FALSE(DeleteDC(brushAsDc));
    EXPECT_FALSE(DeleteObject(dc));
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    // Made-up values.
    for (std::uintptr_t junk : {std::uintptr_t{0}, std::uintptr_t{1}, std::uintptr_t{0xFFFF},
                                ~std::uintptr_t{0}, std::uintptr_t{0x12345678}}) {
        EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(junk)), 0u);
        EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(junk)));
        EXPECT_EQ(GetTextColor(reinterpret_cast<HDC>(junk)), CLR_INVALID);
    }
    EXPECT_TRUE(DeleteObject(again));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(Selection, ABitmapLivesInOneMemoryDcAndCannotBeDeletedThere) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(a, 2, 2);
    HGDIOBJ original = SelectObject(a, bitmap);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(GetObjectType(original), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), bitmap);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);
    EXPECT_EQ(SelectObject(a, bitmap), bitmap); // selecting it again changes nothing
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(a, original), bitmap);
    EXPECT_NE(SelectObject(b, bitmap), nullptr);
    // Deleting the DC lets go of its bitmap.
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(bitmap));
    // Window and screen DCs hold no bitmaps.
    HDC screen = GetDC(nullptr);
    HBITMAP other = CreateCompatibleBitmap(screen, 1, 1);
    EXPECT_EQ(SelectObject(screen, other), nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    DeleteObject(other);
    DeleteDC(a);
}

TEST(Selection, BrushesAndFontsMayBeSharedButNotDeletedWhileSelected) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    HGDIOBJ oldA = SelectObject(a, brush);
    HGDIOBJ oldB = SelectObject(b, brush);
    EXPECT_EQ(oldA, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(oldB, GetStockObject(WHITE_BRUSH));
    EXPECT_FALSE(DeleteObject(brush));
    SelectObject(a, oldA);
    EXPECT_FALSE(DeleteObject(brush));
    SelectObject(b, oldB);
    EXPECT_TRUE(DeleteObject(brush));

    HFONT font =
        CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"DejaVu Sans");
    HGDIOBJ oldFont = SelectObject(a, font);
    EXPECT_EQ(oldFont, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(a, OBJ_FONT), font);
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_TRUE(DeleteObject(font));
    DeleteDC(b);
}

TEST(StockObjects, ExistAreSharedAndSurviveDeletion) {
    for (int index : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH,
                      OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT,
                      DEVICE_DEFAULT_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
        HGDIOBJ object = GetStockObject(index);
        ASSERT_NE(object, nullptr) << index;
        EXPECT_EQ(GetStockObject(index), object);
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_NE(GetObjectType(object), 0u) << index;
    }
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(1000), nullptr);

    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectW(GetStockObject(BLACK_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
    ASSERT_EQ(GetObjectW(GetStockObject(NULL_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_NULL));

    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(GetStockObject(OEM_FIXED_FONT), sizeof lf, &lf),
              static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWidth, 8);
    EXPECT_STREQ(lf.lfFaceName, L"Unifont");
}

TEST(SystemColours, ValuesAndSharedBrushes) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(99), 0u);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(GetSysColorBrush(COLOR_3DFACE), face);
    EXPECT_TRUE(DeleteObject(face)); // shared: deleting does nothing
    LOGBRUSH lb{};
    ASSERT_NE(GetObjectW(face, sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, RGB(240, 240, 240));
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

TEST(Fonts, LogicalFontsRoundTrip) {
    LOGFONTW in{};
    in.lfHeight = 16;
    in.lfWidth = 8;
    in.lfWeight = FW_NORMAL;
    in.lfCharSet = DEFAULT_CHARSET;
    in.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    std::wcscpy(in.lfFaceName, L"ＭＳ ゴシック");
    HFONT font = CreateFontIndirectW(&in);
    ASSERT_NE(font, nullptr);
    LOGFONTW out{};
    EXPECT_EQ(GetObjectW(font, sizeof out, &out), static_cast<int>(sizeof out));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);
    // A short buffer gets the start of the description.
    LONG height = 0;
    EXPECT_EQ(GetObjectW(font, sizeof height, &height), static_cast<int>(sizeof height));
    EXPECT_EQ(height, 16);
    out.lfItalic = 1;
    HFONT italic = CreateFontIndirectW(&out);
    LOGFONTW check{};
    GetObjectW(italic, sizeof check, &check);
    EXPECT_EQ(check.lfItalic, 1);
    // A face name without its terminator is cut to fit.
    LOGFONTW longName = in;
    std::wmemset(longName.lfFaceName, L'x', LF_FACESIZE);
    HFONT cut = CreateFontIndirectW(&longName);
    GetObjectW(cut, sizeof check, &check);
    EXPECT_EQ(std::wcslen(check.lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1));
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    DeleteObject(font);
    DeleteObject(italic);
    DeleteObject(cut);
}

TEST(Attributes, DefaultsAndPreviousValues) {
    Canvas c(1, 1);
    EXPECT_EQ(GetTextColor(c.dc()), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(c.dc()), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
    EXPECT_EQ(SetTextColor(c.dc(), RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(c.dc(), RGB(4, 5, 6)), RGB(1, 2, 3));
    EXPECT_EQ(SetBkColor(c.dc(), RGB(7, 8, 9)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(c.dc(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(c.dc(), 5), 0);
    EXPECT_EQ(GetBkMode(c.dc()), TRANSPARENT);
}

TEST(DeviceContexts, CompatibleBitmapsAndCapabilities) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetObjectType(screen), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_NE(GetDeviceCaps(screen, RASTERCAPS) & RC_STRETCHBLT, 0);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
    // The screen is not drawn on.
    EXPECT_FALSE(PatBlt(screen, 0, 0, 1, 1, BLACKNESS));

    HDC mem = CreateCompatibleDC(screen);
    EXPECT_EQ(GetObjectType(mem), static_cast<DWORD>(OBJ_MEMDC));
    // A fresh memory DC still yields full-colour compatible bitmaps.
    HBITMAP bitmap = CreateCompatibleBitmap(mem, 3, 2);
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr);
    HBITMAP empty = CreateCompatibleBitmap(mem, 0, 5);
    GetObjectW(empty, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(CreateCompatibleBitmap(mem, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(mem, 1 << 30, 1 << 30), nullptr);
    EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(bitmap)), nullptr);
    // Memory DCs and bitmaps are not released with ReleaseDC.
    EXPECT_EQ(ReleaseDC(nullptr, mem), 0);
    EXPECT_TRUE(GdiFlush());

    // Compatible with an 8-bit section: 8 bits with the same colours.
    Canvas indexed(2, 2, 8);
    HBITMAP twin = CreateCompatibleBitmap(indexed.dc(), 2, 2);
    GetObjectW(twin, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 8);
    HGDIOBJ old = SelectObject(mem, twin);
    indexed.Load({7, 8, 9, 10});
    ASSERT_TRUE(BitBlt(mem, 0, 0, 2, 2, indexed.dc(), 0, 0, SRCCOPY));
    Canvas out(2, 2);
    ASSERT_TRUE(BitBlt(out.dc(), 0, 0, 2, 2, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(out.Get(1, 1), 0x000A0A0Au);
    SelectObject(mem, old);
    DeleteObject(twin);
    DeleteObject(empty);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

} // namespace
