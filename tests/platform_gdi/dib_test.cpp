// DIB sections, colour tables, GetDIBits and CreateDIBitmap, including malformed headers.
#include "gdi_test_support.h"
#include "platform/gdi/dib_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

using gditest::Canvas;
using Pixels = std::vector<std::uint32_t>;

namespace {

BITMAPINFOHEADER Header(int width, int height, int bitCount, DWORD compression = BI_RGB) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = compression;
    return h;
}

// A packed DIB: header, then masks or colour table, then rows.
struct PackedDib {
    std::vector<std::uint8_t> bytes;
    std::size_t pixelOffset = 0;

    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(bytes.data()); }
    const BITMAPINFOHEADER* header() const { return &info()->bmiHeader; }
    const std::uint8_t* pixels() const { return bytes.data() + pixelOffset; }
};

template <typename T>
void Append(std::vector<std::uint8_t>* bytes, const T& value) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    bytes->insert(bytes->end(), p, p + sizeof value);
}

// value(x, y) is the stored value of pixel (x, y) counted from the top: an index or a packed
// pixel of bitCount bits.
PackedDib Encode(const BITMAPINFOHEADER& h, const std::vector<std::uint8_t>& table, int width,
                 int height, const std::function<std::uint32_t(int, int)>& value) {
    PackedDib dib;
    Append(&dib.bytes, h);
    dib.bytes.insert(dib.bytes.end(), table.begin(), table.end());
    dib.pixelOffset = dib.bytes.size();
    const int bits = h.biBitCount;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    for (int stored = 0; stored < height; ++stored) {
        const int y = h.biHeight < 0 ? stored : height - 1 - stored;
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            if (bits < 8) {
                const int perByte = 8 / bits;
                row[x / perByte] |= static_cast<std::uint8_t>(v << (8 - bits * (x % perByte + 1)));
            } else {
                for (int b = 0; b < bits / 8; ++b) {
                    row[x * (bits / 8) + b] = static_cast<std::uint8_t>(v >> (8 * b));
                }
            }
        }
        dib.bytes.insert(dib.bytes.end(), row.begin(), row.end());
    }
    return dib;
}

// Six colours that every format can hold exactly, 3 × 2, top row first.
const Pixels SIX = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00};

std::vector<std::uint8_t> SixColourTable(int entries, int entrySize = 4) {
    std::vector<std::uint8_t> table;
    for (int i = 0; i < entries; ++i) {
        const std::uint32_t c = i < 6 ? SIX[i] : 0x123456;
        table.push_back(static_cast<std::uint8_t>(c));
        table.push_back(static_cast<std::uint8_t>(c >> 8));
        table.push_back(static_cast<std::uint8_t>(c >> 16));
        if (entrySize == 4) {
            table.push_back(0);
        }
    }
    return table;
}

std::uint32_t SixIndex(int x, int y) {
    return static_cast<std::uint32_t>(y * 3 + x);
}

std::vector<std::uint8_t> Masks(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    std::vector<std::uint8_t> bytes;
    Append(&bytes, r);
    Append(&bytes, g);
    Append(&bytes, b);
    return bytes;
}

// Makes a bitmap from a packed DIB on the screen DC and reads it back through a 32-bit canvas.
Pixels RoundTrip(const PackedDib& dib, int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBitmap(screen, dib.header(), CBM_INIT, dib.pixels(), dib.info(), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap) {
        return {};
    }
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap);
    Canvas out(width, height);
    BitBlt(out.dc(), 0, 0, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    return out.All();
}

TEST(CreateDIBitmap, ReadsEveryPackedFormat) {
    auto pack555 = [](std::uint32_t c) {
        return ((c >> 19) & 0x1F) << 10 | ((c >> 11) & 0x1F) << 5 | ((c >> 3) & 0x1F);
    };
    auto pack565 = [](std::uint32_t c) {
        return ((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F);
    };
    auto six = [](int x, int y) { return SIX[SixIndex(x, y)]; };
    struct Case {
        const char* name;
        PackedDib dib;
    };
    const Case cases[] = {
        {"4-bit", Encode(Header(3, 2, 4), SixColourTable(16), 3, 2, SixIndex)},
        {"8-bit", Encode(Header(3, 2, 8), SixColourTable(256), 3, 2, SixIndex)},
        {"8-bit short table",
         [] {
             BITMAPINFOHEADER h = Header(3, 2, 8);
             h.biClrUsed = 6;
             return Encode(h, SixColourTable(6), 3, 2, SixIndex);
         }()},
        {"16-bit 555",
         Encode(Header(3, 2, 16), {}, 3, 2, [&](int x, int y) { return pack555(six(x, y)); })},
        {"16-bit 565", Encode(Header(3, 2, 16, BI_BITFIELDS), Masks(0xF800, 0x07E0, 0x001F), 3, 2,
                              [&](int x, int y) { return pack565(six(x, y)); })},
        {"24-bit", Encode(Header(3, 2, 24), {}, 3, 2, six)},
        {"32-bit", Encode(Header(3, 2, 32), {}, 3, 2, six)},
        {"32-bit top-down", Encode(Header(3, -2, 32), {}, 3, 2, six)},
        {"32-bit masks",
         Encode(Header(3, 2, 32, BI_BITFIELDS), Masks(0x000000FF, 0x0000FF00, 0x00FF0000), 3, 2,
                [&](int x, int y) {
                    const std::uint32_t c = six(x, y);
                    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16);
                })},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundTrip(c.dib, 3, 2), SIX) << c.name;
    }
}

TEST(CreateDIBitmap, ReadsOneBitAndCoreHeaders) {
    const std::vector<std::uint8_t> twoColours = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0}; // red, blue
    const PackedDib mono =
        Encode(Header(3, 2, 1), twoColours, 3, 2, [](int x, int y) { return (x + y) % 2u; });
    EXPECT_EQ(RoundTrip(mono, 3, 2),
              (Pixels{0xFF0000, 0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000, 0x0000FF}));

    BITMAPCOREHEADER core{sizeof(BITMAPCOREHEADER), 3, 2, 1, 8};
    PackedDib dib;
    Append(&dib.bytes, core);
    const std::vector<std::uint8_t> table = SixColourTable(256, 3);
    dib.bytes.insert(dib.bytes.end(), table.begin(), table.end());
    dib.pixelOffset = dib.bytes.size();
    for (std::uint8_t row : {3, 4, 5, 0, 0, 1, 2, 0}) { // bottom row first, 4-byte rows
        dib.bytes.push_back(row);
    }
    EXPECT_EQ(RoundTrip(dib, 3, 2), SIX);
}

TEST(CreateDIBitmap, RefusesMalformedHeaders) {
    struct Case {
        const char* name;
        std::function<void(BITMAPINFOHEADER&)> spoil;
    };
    const Case cases[] = {
        {"header size 20", [](auto& h) { h.biSize = 20; }},
        {"header size 200", [](auto& h) { h.biSize = 200; }},
        {"two planes", [](auto& h) { h.biPlanes = 2; }},
        {"7 bits", [](auto& h) { h.biBitCount = 7; }},
        {"zero width", [](auto& h) { h.biWidth = 0; }},
        {"negative width", [](auto& h) { h.biWidth = -3; }},
        {"zero height", [](auto& h) { h.biHeight = 0; }},
        {"most negative height", [](auto& h) { h.biHeight = INT_MIN; }},
        {"huge", [](auto& h) { h.biWidth = h.biHeight = 0x40000000; }},
        {"too many pixels", [](auto& h) { h.biWidth = h.biHeight = 1 << 20; }},
        {"run-length compressed", [](auto& h) { h.biCompression = BI_RLE8; }},
        {"unknown compression", [](auto& h) { h.biCompression = 77; }},
        {"masks on 8 bits", [](auto& h) { h.biCompression = BI_BITFIELDS; }},
        {"300 colours", [](auto& h) { h.biClrUsed = 300; }},
        {"image size too small", [](auto& h) { h.biSizeImage = 5; }},
    };
    std::vector<std::uint8_t> pixels(64 * 64, 0);
    for (const Case& c : cases) {
        std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 1024, 0);
        BITMAPINFOHEADER h = Header(3, 2, 8);
        c.spoil(h);
        std::memcpy(info.data(), &h, sizeof h);
        const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
        EXPECT_EQ(
            CreateDIBitmap(nullptr, &bmi->bmiHeader, CBM_INIT, pixels.data(), bmi, DIB_RGB_COLORS),
            nullptr)
            << c.name;
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
            << c.name;
        EXPECT_EQ(bits, nullptr) << c.name;
    }
    // Masks that are empty, broken or wider than the pixel.
    for (const auto& masks :
         {Masks(0, 0xFF00, 0xFF), Masks(0xF0F000, 0xFF00, 0xFF), Masks(0x1F0000, 0x7E0, 0x1F)}) {
        PackedDib dib =
            Encode(Header(1, 1, 16, BI_BITFIELDS), masks, 1, 1, [](int, int) { return 0u; });
        EXPECT_EQ(CreateDIBitmap(nullptr, dib.header(), CBM_INIT, dib.pixels(), dib.info(),
                                 DIB_RGB_COLORS),
                  nullptr);
    }
    // CBM_INIT needs pixels and RGB colours.
    PackedDib good = Encode(Header(3, 2, 24), {}, 3, 2, [](int, int) { return 0u; });
    EXPECT_EQ(
        CreateDIBitmap(nullptr, good.header(), CBM_INIT, nullptr, good.info(), DIB_RGB_COLORS),
        nullptr);
    EXPECT_EQ(CreateDIBitmap(nullptr, good.header(), CBM_INIT, good.pixels(), good.info(),
                             DIB_PAL_COLORS),
              nullptr);
    EXPECT_EQ(CreateDIBitmap(nullptr, nullptr, 0, nullptr, nullptr, DIB_RGB_COLORS), nullptr);
    HBITMAP blank = CreateDIBitmap(nullptr, good.header(), 0, nullptr, nullptr, DIB_RGB_COLORS);
    EXPECT_NE(blank, nullptr);
    DeleteObject(blank);
}

TEST(PackedDib, NeverReadsPastTheBlock) {
    const PackedDib dib = Encode(Header(3, 2, 8), SixColourTable(256), 3, 2, SixIndex);
    platform::gdi::DibLayout layout;
    const std::uint8_t* pixels = nullptr;
    ASSERT_TRUE(
        platform::gdi::ParsePackedDib(dib.bytes.data(), dib.bytes.size(), &layout, &pixels));
    EXPECT_EQ(pixels, dib.pixels());
    EXPECT_EQ(layout.stride, 4u);
    // Cut anywhere (pixels, colour table, header, even the size field): refused.
    for (std::size_t size : {dib.bytes.size() - 1, dib.pixelOffset, std::size_t{100},
                             std::size_t{40}, std::size_t{39}, std::size_t{3}, std::size_t{0}}) {
        EXPECT_FALSE(platform::gdi::ParsePackedDib(dib.bytes.data(), size, &layout, &pixels))
            << size;
    }
    // Masks after a plain header count as part of the block.
    const PackedDib masked = Encode(Header(1, 1, 32, BI_BITFIELDS), Masks(0xFF0000, 0xFF00, 0xFF),
                                    1, 1, [](int, int) { return 0x123456u; });
    ASSERT_TRUE(
        platform::gdi::ParsePackedDib(masked.bytes.data(), masked.bytes.size(), &layout, &pixels));
    EXPECT_EQ(pixels, masked.pixels());
    EXPECT_FALSE(platform::gdi::ParsePackedDib(masked.bytes.data(), 48, &layout, &pixels));
}

TEST(PackedDib, ToleratesAnUnderstatedImageSizeWhenTheBlockSizeIsKnown) {
    BITMAPINFOHEADER h = Header(3, 2, 24);
    h.biSizeImage = 18; // rows without their padding, as some writers put it
    const PackedDib dib = Encode(h, {}, 3, 2, [](int, int) { return 0u; });
    platform::gdi::DibLayout layout;
    const std::uint8_t* pixels = nullptr;
    EXPECT_TRUE(
        platform::gdi::ParsePackedDib(dib.bytes.data(), dib.bytes.size(), &layout, &pixels));
}

TEST(DibSection, LayoutPointerAndObjectDescription) {
    Canvas narrow(5, 3, 8);
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(narrow.bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 8); // 8-bit rows are padded to 4 bytes
    EXPECT_EQ(bm.bmBitsPixel, 8);
    EXPECT_NE(bm.bmBits, nullptr);

    // The pixel pointer of a bottom-up section addresses the bottom row.
    Canvas bottomUp(2, 2, 32, false);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(bottomUp.bitmap(), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBmih.biHeight, 2);
    EXPECT_EQ(ds.dsBmih.biSizeImage, 16u);
    static_cast<std::uint32_t*>(ds.dsBm.bmBits)[0] = 0x00112233;
    EXPECT_EQ(bottomUp.Get(0, 1), 0x00112233u);
    // The memory starts zeroed.
    EXPECT_EQ(bottomUp.Get(1, 0), 0u);
}

TEST(DibSection, RefusesWhatItCannotMake) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = Header(4, 4, 16);
    void* bits = nullptr;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    bmi.bmiHeader = Header(4, 4, 32);
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_PAL_COLORS, &bits, nullptr, 0), nullptr);
    int section = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, &section, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    HBITMAP ok = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    EXPECT_NE(ok, nullptr);
    DeleteObject(ok);
}

TEST(ColourTables, SetAndGetOnTheSelectedSection) {
    Canvas c(2, 1, 8);
    const RGBQUAD red[2] = {{0, 0, 255, 0}, {0, 0, 128, 0}};
    EXPECT_EQ(SetDIBColorTable(c.dc(), 254, 5, red), 2u); // clipped at entry 255
    RGBQUAD got[3]{};
    EXPECT_EQ(GetDIBColorTable(c.dc(), 253, 3, got), 3u);
    EXPECT_EQ(got[0].rgbRed, 253);
    EXPECT_EQ(got[1].rgbRed, 255);
    EXPECT_EQ(got[2].rgbRed, 128);
    EXPECT_EQ(SetDIBColorTable(c.dc(), 256, 1, red), 0u);
    // A new table shows in what the bitmap paints.
    c.Load({254, 255});
    Canvas out(2, 1);
    BitBlt(out.dc(), 0, 0, 2, 1, c.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(out.All(), (Pixels{0xFF0000, 0x800000}));
    Canvas noTable(1, 1);
    EXPECT_EQ(SetDIBColorTable(noTable.dc(), 0, 1, red), 0u);
    EXPECT_EQ(GetDIBColorTable(noTable.dc(), 0, 1, got), 0u);
}

TEST(GetDIBits, TopDownThirtyTwoBitsIntoBottomUpTwentyFour) {
    Canvas c(3, 2);
    c.Load({0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112});
    BITMAPINFO bmi{};
    bmi.bmiHeader = Header(3, 2, 24);
    std::vector<std::uint8_t> rows(24, 0xEE);
    ASSERT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, rows.data(), &bmi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows,
              (std::vector<std::uint8_t>{0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12,
                                         0x11, 0x10, 0,    0,    0, // bottom row first, padded
                                         0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09,
                                         0x08, 0x07, 0,    0,    0}));
    EXPECT_EQ(bmi.bmiHeader.biSizeImage, 24u);
    // Scan lines count from the bottom of a bottom-up DIB; one line from line 1 is the top row.
    std::vector<std::uint8_t> top(12, 0xEE);
    ASSERT_EQ(GetDIBits(c.dc(), c.bitmap(), 1, 5, top.data(), &bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(top[0], 0x03);
    EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 2, 1, top.data(), &bmi, DIB_RGB_COLORS), 0);
}

TEST(GetDIBits, DescribesAndCopiesEightBitsWithTheirTable) {
    Canvas c(5, 1, 8);
    c.Load({1, 2, 3, 4, 250});
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    ASSERT_NE(GetDIBits(c.dc(), c.bitmap(), 0, 1, nullptr, bmi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(bmi->bmiHeader.biWidth, 5);
    EXPECT_EQ(bmi->bmiHeader.biHeight, 1);
    EXPECT_EQ(bmi->bmiHeader.biBitCount, 8);
    EXPECT_EQ(bmi->bmiHeader.biSizeImage, 8u);
    std::vector<std::uint8_t> row(8, 0xEE);
    ASSERT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 1, row.data(), bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(row, (std::vector<std::uint8_t>{1, 2, 3, 4, 250, 0, 0, 0}));
    EXPECT_EQ(bmi->bmiColors[250].rgbGreen, 250);

    // A 32-bit bitmap asked for 8 bits gets a colour cube and the nearest entries.
    Canvas rgb(2, 1);
    rgb.Load({0xFF0000, 0x808080});
    ASSERT_EQ(GetDIBits(rgb.dc(), rgb.bitmap(), 0, 1, row.data(), bmi, DIB_RGB_COLORS), 1);
    const RGBQUAD& first = bmi->bmiColors[row[0]];
    EXPECT_EQ((std::vector<int>{first.rgbRed, first.rgbGreen, first.rgbBlue}),
              (std::vector<int>{255, 0, 0}));
    EXPECT_NEAR(bmi->bmiColors[row[1]].rgbRed, 128, 4);
}

TEST(GetDIBits, RefusesBadArguments) {
    Canvas c(2, 2);
    BITMAPINFO bmi{};
    bmi.bmiHeader = Header(2, 2, 24);
    std::vector<std::uint8_t> rows(16);
    HBITMAP stale = CreateCompatibleBitmap(c.dc(), 2, 2);
    DeleteObject(stale);
    EXPECT_EQ(GetDIBits(c.dc(), stale, 0, 2, rows.data(), &bmi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(nullptr, c.bitmap(), 0, 2, rows.data(), &bmi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, rows.data(), nullptr, DIB_RGB_COLORS), 0);
    bmi.bmiHeader.biCompression = BI_RLE8;
    EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, rows.data(), &bmi, DIB_RGB_COLORS), 0);
    bmi.bmiHeader = Header(2, 2, 4);
    EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, rows.data(), &bmi, DIB_RGB_COLORS), 0);
}

} // namespace
