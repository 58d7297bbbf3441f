// GetOpenFileNameW and GetSaveFileNameW through the responder: what is shown, and what the
// caller's structure receives for OK, Cancel and a buffer too small.
#include "platform/testing.h"
#include "platform/win32.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace {

using namespace platform::testing;

const wchar_t FILTERS[] = L"All Files (*.*)\0*.*\0BMP (*.BMP;*.RLE;*.DIB)\0*.BMP;*.RLE;*.DIB\0"
                          L"JPEG (*.JPG;*.JPEG;*.JPE)\0*.JPG;*.JPEG;*.JPE\0";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallResponder();
        std::memset(&ofn, 0, sizeof(ofn));
        ofn.lStructSize = sizeof(ofn);
        ofn.lpstrFilter = FILTERS;
        ofn.nFilterIndex = 2;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrInitialDir = L"/tmp/start";
        ofn.lpstrTitle = L"Load image file";
        ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        wcscpy(file, L"*.BMP;*.RLE;*.DIB");
    }
    void TearDown() override { RemoveResponder(); }

    Watchdog watchdog{std::chrono::seconds(20), "file dialog test"};
    OPENFILENAMEW ofn;
    wchar_t file[MAX_PATH];
};

TEST_F(FileDialogTest, OpenShowsTheStructureAndReturnsThePathAndFilter) {
    AnswerFileDialog(L"/home/user/pictures/pair.jpeg", 3);
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_STREQ(file, L"/home/user/pictures/pair.jpeg");
    EXPECT_EQ(ofn.nFilterIndex, 3u);
    EXPECT_EQ(ofn.nFileOffset, 20u);
    EXPECT_EQ(ofn.nFileExtension, 25u);
    const auto shown = ShownFileDialogs();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].save);
    EXPECT_EQ(shown[0].title, L"Load image file");
    EXPECT_EQ(shown[0].initialDir, L"/tmp/start");
    EXPECT_EQ(shown[0].fileName, L"*.BMP;*.RLE;*.DIB");
    EXPECT_EQ(shown[0].filterIndex, 2);
    EXPECT_EQ(shown[0].flags,
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    ASSERT_EQ(shown[0].filters.size(), 3u);
    EXPECT_EQ(shown[0].filters[1].first, L"BMP (*.BMP;*.RLE;*.DIB)");
    EXPECT_EQ(shown[0].filters[1].second, L"*.BMP;*.RLE;*.DIB");
}

TEST_F(FileDialogTest, SaveKeepsTheFilterWhenTheAnswerNamesNoneAndHasNoExtension) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    ofn.lpstrTitle = L"Save as";
    wcscpy(file, L"noname");
    AnswerFileDialog(L"/tmp/out");
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_STREQ(file, L"/tmp/out");
    EXPECT_EQ(ofn.nFilterIndex, 2u);
    EXPECT_EQ(ofn.nFileOffset, 5u);
    EXPECT_EQ(ofn.nFileExtension, 0u);
    const auto shown = ShownFileDialogs();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].save);
    EXPECT_EQ(shown[0].fileName, L"noname");
}

TEST_F(FileDialogTest, CancelLeavesTheStructureAlone) {
    AnswerFileDialogCancel();
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(file, L"*.BMP;*.RLE;*.DIB");
    EXPECT_EQ(ofn.nFilterIndex, 2u);
    // Without any answer the dialog is cancelled too.
    EXPECT_FALSE(GetSaveFileNameW(&ofn));
}

TEST_F(FileDialogTest, PathsThatDoNotFitAndBadStructuresAreRefused) {
    wchar_t small[8] = L"x";
    ofn.lpstrFile = small;
    ofn.nMaxFile = 8;
    AnswerFileDialog(L"/tmp/a/long/name.png");
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
    // A filter index out of range shows the first filter.
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.nFilterIndex = 9;
    AnswerFileDialogCancel();
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(ShownFileDialogs().back().filterIndex, 1);
}

} // namespace
