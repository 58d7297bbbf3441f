// Copying image windows to the clipboard, pasting into them, the paste request, and files
// dropped on an image window.
#include "platform/testing.h"
#include "tests/files/file_test_support.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace {

using namespace filetest;
using namespace platform::testing;

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApplication();
        ResetImageWindowTable();
    }
    Watchdog watchdog{std::chrono::seconds(30), "image clipboard test"};
};

// The CF_DIB block on the clipboard, copied out.
std::vector<std::uint8_t> ClipboardDib() {
    std::vector<std::uint8_t> bytes;
    if (OpenClipboard(nullptr)) {
        if (HANDLE block = GetClipboardData(CF_DIB)) {
            const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
            bytes.assign(p, p + GlobalSize(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
    }
    return bytes;
}

BITMAPINFOHEADER HeaderOf(const std::vector<std::uint8_t>& dib) {
    BITMAPINFOHEADER header{};
    std::memcpy(&header, dib.data(), sizeof(header));
    return header;
}

TEST_F(ClipboardTest, EightBitWindowCopiesAsEightBitDibWithItsTable) {
    FakeImageWindow window(0, 5, 2, 8);
    window.SetTable(TestTable());
    for (int x = 0; x < 5; ++x) {
        window.At8(x, 0) = static_cast<std::uint8_t>(x + 1);
        window.At8(x, 1) = static_cast<std::uint8_t>(x + 100);
    }
    CopyImageToClipboard(0);
    const auto dib = ClipboardDib();
    ASSERT_EQ(dib.size(), 40u + 1024u + 8u * 2u);
    const BITMAPINFOHEADER header = HeaderOf(dib);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biWidth, 5);
    EXPECT_EQ(header.biHeight, 2);
    for (int i = 0; i < 256; ++i) {
        std::uint32_t entry = 0;
        std::memcpy(&entry, dib.data() + 40 + 4 * i, 4);
        ASSERT_EQ(entry, TestTable()[i]);
    }
    // Bottom-up: the window's second row comes first.
    EXPECT_EQ(dib[40 + 1024], 100);
    EXPECT_EQ(dib[40 + 1024 + 8 + 4], 5);
}

TEST_F(ClipboardTest, ThirtyTwoBitWindowCopiesAsTwentyFourBitsAndPastesBack) {
    FakeImageWindow window(0, 3, 2, 32);
    window.At32(0, 0) = 0x112233;
    window.At32(2, 1) = 0xAABBCC;
    CopyImageToClipboard(0);
    const auto dib = ClipboardDib();
    ASSERT_EQ(dib.size(), 40u + 12u * 2u);
    EXPECT_EQ(HeaderOf(dib).biBitCount, 24);
    EXPECT_EQ(dib[40 + 6], 0xCC); // bottom row, third pixel, blue first
    EXPECT_EQ(dib[40 + 12], 0x33);

    FakeImageWindow target(1, 5, 5, 32);
    target.Fill(0x777777);
    PasteFromClipboard(1, 3, 4); // clipped at the right and bottom edges
    EXPECT_EQ(target.At32(3, 4), 0x112233u);
    EXPECT_EQ(target.At32(4, 4), 0u);
    EXPECT_EQ(target.At32(2, 4), 0x777777u);
    PasteFromClipboard(1, 0, 0);
    EXPECT_EQ(target.At32(0, 0), 0x112233u);
    EXPECT_EQ(target.At32(2, 1), 0xAABBCCu);
    EXPECT_EQ(target.At32(3, 0), 0x777777u);
}

TEST_F(ClipboardTest, PastingAnEightBitPictureReplacesTheTableEntries) {
    FakeImageWindow source(0, 4, 1, 8);
    source.SetTable(TestTable());
    for (int x = 0; x < 4; ++x) {
        source.At8(x, 0) = static_cast<std::uint8_t>(200 + x);
    }
    CopyImageToClipboard(0);
    FakeImageWindow target(1, 4, 1, 8);
    PasteFromClipboard(1, 0, 0);
    EXPECT_EQ(target.Table(), TestTable());
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(target.At8(x, 0), 200 + x);
    }
}

TEST_F(ClipboardTest, ReadClipboardBitmapAndThePasteRequest) {
    FakeImageWindow source(0, 2, 2, 32);
    source.Fill(0x0A0B0C);
    CopyImageToClipboard(0);
    std::uint32_t colors[256];
    int count = -1;
    HBITMAP bitmap = ReadClipboardBitmap(colors, &count);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(count, 0);
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 2);
    FakeImageWindow target(9, 3, 3, 32);
    qiv_target = 9;
    PasteBitmap(bitmap); // deletes the bitmap
    EXPECT_EQ(target.At32(1, 1), 0x0A0B0Cu);
    EXPECT_EQ(target.At32(2, 2), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    // Nothing on the clipboard: nothing happens.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(ReadClipboardBitmap(colors, &count), nullptr);
    target.Fill(5);
    PasteFromClipboard(9, 0, 0);
    EXPECT_EQ(target.At32(0, 0), 5u);
    PasteFromClipboard(300, 0, 0);
    CopyImageToClipboard(-1);
}

LRESULT CALLBACK DropTargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        return DropOnImageWindow(hwnd, reinterpret_cast<HDROP>(wParam));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(ClipboardTest, DroppingTwoFilesLoadsOnlyTheFirstAndKeepsTheCurrentWindow) {
    TempFolder dir;
    {
        FakeImageWindow source(100, 2, 2, 32);
        source.Fill(0x00FF00);
        qiv_target = 100;
        ASSERT_EQ(QIV_SaveImage(2, 2, 3, dir.Path("first").c_str()), 0);
        source.Fill(0xFF0000);
        ASSERT_EQ(QIV_SaveImage(2, 2, 3, dir.Path("second").c_str()), 0);
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = DropTargetProc;
    wc.lpszClassName = L"files_drop_target";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"files_drop_target", L"000", WS_VISIBLE | WS_CAPTION, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    DragAcceptFiles(hwnd, TRUE);
    FakeImageWindow other(1, 4, 4, 32);
    FakeImageWindow window(2, 4, 4, 32, hwnd);
    window.Fill(0x0000FF);
    QIV_SelectImage(1);
    const int historyTop = qiv_target_history[0];
    DropFiles(hwnd,
              {std::wstring(dir.path.begin(), dir.path.end()) + L"/first.png",
               std::wstring(dir.path.begin(), dir.path.end()) + L"/second.png"},
              10, 10);
    ASSERT_TRUE(PumpUntil([&] { return window.At32(0, 0) != 0x0000FFu; }));
    EXPECT_EQ(window.At32(1, 1), 0x00FF00u);
    EXPECT_EQ(window.At32(2, 2), 0x0000FFu);
    EXPECT_EQ(qiv_target, 1);
    EXPECT_EQ(qiv_target_history[0], historyTop);
    DestroyWindow(hwnd);
}

} // namespace
