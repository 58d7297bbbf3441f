// Global memory, the clipboard's open/empty/set/get rules, DIB and text round trips through
// the desktop clipboard, malformed CF_DIB blocks, and CopyImage.
#include "platform/testing.h"
#include "platform/win32.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace platform::testing;

HGLOBAL Block(const std::vector<std::uint8_t>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// A packed DIB: header, colour table, rows bottom-up.
std::vector<std::uint8_t> PackedDib(int width, int height, int bits,
                                    const std::vector<std::uint32_t>& table,
                                    const std::vector<std::uint8_t>& rows) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    std::vector<std::uint8_t> bytes(sizeof(header));
    std::memcpy(bytes.data(), &header, sizeof(header));
    for (std::uint32_t c : table) {
        const std::uint8_t quad[4] = {static_cast<std::uint8_t>(c),
                                      static_cast<std::uint8_t>(c >> 8),
                                      static_cast<std::uint8_t>(c >> 16), 0};
        bytes.insert(bytes.end(), quad, quad + 4);
    }
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return bytes;
}

class ClipboardTest : public ::testing::Test {
protected:
    void TearDown() override { CloseClipboard(); }
    Watchdog watchdog{std::chrono::seconds(20), "clipboard test"};
};

TEST(GlobalMemory, BlocksKnowTheirSizeAndStaleHandlesAreRefused) {
    HGLOBAL block = GlobalAlloc(GHND, 10);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 10u);
    auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[9], 0); // zero-initialised
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block);
    int local = 0;
    EXPECT_EQ(GlobalSize(&local), 0u);
}

TEST_F(ClipboardTest, OnlyTheThreadThatOpenedItUsesIt) {
    HGLOBAL unused = Block({1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, unused), nullptr);
    EXPECT_EQ(GlobalFree(unused), nullptr); // still the caller's
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    std::atomic<int> otherOpen{-1};
    std::thread other([&] { otherOpen = OpenClipboard(nullptr); });
    other.join();
    EXPECT_EQ(otherOpen.load(), FALSE);
    EXPECT_TRUE(CloseClipboard());
    std::thread later([&] {
        otherOpen = OpenClipboard(nullptr);
        CloseClipboard();
    });
    later.join();
    EXPECT_EQ(otherOpen.load(), TRUE);
}

TEST_F(ClipboardTest, TextGoesOutAndComesBackInBothForms) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    const std::wstring text = L"QIV_CreateImage(0, \"000\", 0, 0, 640, 480, 100); 日本";
    std::vector<std::uint8_t> bytes((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    HGLOBAL block = Block(bytes);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE wide = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(wide))), text);
    GlobalUnlock(wide);
    HANDLE narrow = GetClipboardData(CF_TEXT);
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(narrow)),
                 "QIV_CreateImage(0, \"000\", 0, 0, 640, 480, 100); 日本");
    GlobalUnlock(narrow);
    EXPECT_TRUE(CloseClipboard());
    // Handed-out blocks belong to the clipboard and are gone once it closes.
    EXPECT_EQ(GlobalSize(wide), 0u);
}

TEST_F(ClipboardTest, EightBitDibComesBackWithItsTableAndTwentyFourBitStaysExact) {
    std::vector<std::uint32_t> table(256);
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<std::uint32_t>(i * 0x010101) ^ 0x00FF00u;
    }
    // 5 × 2, rows padded to 8 bytes, bottom row first.
    const std::vector<std::uint8_t> rows = {6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0};
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_DIB, Block(PackedDib(5, 2, 8, table, rows))), nullptr);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE dib = GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(dib));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biWidth, 5);
    EXPECT_EQ(header.biHeight, 2);
    ASSERT_EQ(GlobalSize(dib), 40u + 1024u + 16u);
    EXPECT_EQ(std::memcmp(bytes + 40, PackedDib(5, 2, 8, table, rows).data() + 40, 1024), 0);
    EXPECT_EQ(std::memcmp(bytes + 40 + 1024, rows.data(), 5), 0);
    EXPECT_EQ(std::memcmp(bytes + 40 + 1024 + 8, rows.data() + 8, 5), 0);
    GlobalUnlock(dib);
    CloseClipboard();

    // 24 bits: 3 × 1, one row of 9 bytes padded to 12.
    const std::vector<std::uint8_t> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_DIB, Block(PackedDib(3, 1, 24, {}, rgb))), nullptr);
    dib = GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    ASSERT_EQ(GlobalSize(dib), 40u + 12u);
    bytes = static_cast<const std::uint8_t*>(GlobalLock(dib));
    EXPECT_EQ(std::memcmp(bytes + 40, rgb.data(), 9), 0);
    GlobalUnlock(dib);
    // CF_BITMAP of the same picture, copied as a DIB section the caller owns.
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    HANDLE copy = CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    CloseClipboard();
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(copy, sizeof(section), &section), static_cast<int>(sizeof(section)));
    EXPECT_EQ(section.dsBm.bmWidth, 3);
    EXPECT_EQ(static_cast<const std::uint32_t*>(section.dsBm.bmBits)[1], 0x060504u);
    DeleteObject(copy);
}

TEST_F(ClipboardTest, MalformedDibBlocksAreRefusedAndStayWithTheCaller) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::vector<std::uint8_t> rgb(12, 0x55);
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back(std::vector<std::uint8_t>(20, 0));         // shorter than a header
    bad.push_back(PackedDib(3, 1, 24, {}, {1, 2, 3}));       // rows cut short
    bad.push_back(PackedDib(100000, 100000, 24, {}, rgb));   // absurd size
    bad.push_back(PackedDib(3, 1, 7, {}, rgb));              // no such depth
    bad.push_back(PackedDib(-3, 1, 24, {}, rgb));            // negative width
    bad.push_back(PackedDib(4, 4, 8, {1, 2}, {0, 0, 0, 0})); // table and rows missing
    auto hugeTable = PackedDib(1, 1, 8, {}, {0, 0, 0, 0});
    reinterpret_cast<BITMAPINFOHEADER*>(hugeTable.data())->biClrUsed = 0x40000000;
    bad.push_back(hugeTable);
    // Whole, but past the picture limit (2^27 pixels) in a 17 MB block of 1-bit rows.
    bad.push_back(
        PackedDib(8200, 16384, 1, {0, 0xFFFFFF}, std::vector<std::uint8_t>(1032 * 16384)));
    for (const auto& bytes : bad) {
        HGLOBAL block = Block(bytes);
        EXPECT_EQ(SetClipboardData(CF_DIB, block), nullptr);
        EXPECT_EQ(GlobalSize(block), bytes.size()); // still the caller's
        GlobalFree(block);
    }
    EXPECT_EQ(SetClipboardData(CF_DIB, nullptr), nullptr);
    CloseClipboard();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
}

TEST_F(ClipboardTest, AnotherThreadSetsThePictureWhileTheGuiThreadPumps) {
    std::atomic<bool> done{false};
    std::atomic<bool> ok{false};
    std::thread worker([&] {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            const std::vector<std::uint8_t> rgb = {9, 8, 7, 0};
            ok = SetClipboardData(CF_DIB, Block(PackedDib(1, 1, 24, {}, rgb))) != nullptr;
            CloseClipboard();
        }
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_TRUE(ok.load());
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE dib = GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(static_cast<const std::uint8_t*>(GlobalLock(dib))[40], 9);
    GlobalUnlock(dib);
    CloseClipboard();
}

} // namespace
