// The open and save dialogs of image files, answered by the responder: what they show, what
// they remember, and Cancel.
#include "platform/testing.h"
#include "tests/files/file_test_support.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace {

using namespace filetest;
using namespace platform::testing;

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApplication();
        InstallResponder();
        ResetImageFileSettings();
        ResetImageWindowTable();
    }
    void TearDown() override { RemoveResponder(); }
    Watchdog watchdog{std::chrono::seconds(30), "image file dialog test"};
};

TEST_F(DialogTest, OpenStartsAtTheRememberedFolderAndFilterAndRemembersTheChoice) {
    std::strcpy(lastLoadDir, "/tmp/");
    AnswerFileDialog(L"/data/pairs/left.jpg", 3);
    char path[QIV_PATH_SIZE] = "unchanged";
    ASSERT_EQ(AskOpenImageFile(path), 0);
    EXPECT_STREQ(path, "/data/pairs/left.jpg");
    EXPECT_EQ(openFilterIndex, 3);
    EXPECT_STREQ(lastLoadDir, "/data/pairs/");
    EXPECT_EQ(saveFilterIndex, 2);
    const auto shown = ShownFileDialogs();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].save);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(shown[0].title, L"Load image file");
    EXPECT_EQ(shown[0].initialDir, L"/tmp/");
    EXPECT_EQ(shown[0].filterIndex, 2);
    EXPECT_EQ(shown[0].fileName, L"*.BMP;*.RLE;*.DIB");
    EXPECT_EQ(shown[0].flags,
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    ASSERT_EQ(shown[0].filters.size(), 8u); // no WMF or EMF: nothing here decodes them
    EXPECT_EQ(shown[0].filters[0],
              std::make_pair(std::wstring(L"All Files (*.*)"), std::wstring(L"*.*")));
    EXPECT_EQ(shown[0].filters[3].first, L"CompuServe GIF (*.GIF)");
    EXPECT_EQ(shown[0].filters[6].second, L"*.ICO");
    EXPECT_EQ(shown[0].filters[7].second, L"*.MPO;*.JPS");
    // The next open starts where the last one ended, with that filter's pattern.
    AnswerFileDialogCancel();
    EXPECT_EQ(AskOpenImageFile(path), 1);
    EXPECT_EQ(ShownFileDialogs()[1].initialDir, L"/data/pairs/");
    EXPECT_EQ(ShownFileDialogs()[1].fileName, L"*.JPG;*.JPEG;*.JPE");
}

TEST_F(DialogTest, SaveShowsNonameAndSixFiltersAndCancelRemembersNothing) {
    const std::string before = lastSaveDir;
    AnswerFileDialogCancel();
    char path[QIV_PATH_SIZE] = "unchanged";
    EXPECT_EQ(AskSaveImageFile(path), 1);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_EQ(lastSaveDir, before);
    EXPECT_EQ(saveFilterIndex, 2);
    const auto shown = ShownFileDialogs();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].save);
    EXPECT_EQ(shown[0].title, L"Save as");
    EXPECT_EQ(shown[0].fileName, L"noname");
    EXPECT_EQ(shown[0].filters.size(), 6u);
    EXPECT_EQ(shown[0].flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
}

TEST_F(DialogTest, SaveAsWritesTheFormatOfTheChosenFilter) {
    TempFolder dir;
    FakeImageWindow window(0, 6, 4, 32);
    window.Fill(0x336699);
    qiv_target = 0;
    AnswerFileDialog(std::wstring(dir.path.begin(), dir.path.end()) + L"/result", 5);
    EXPECT_EQ(SaveImageAs(), 0);
    EXPECT_EQ(saveFilterIndex, 5);
    EXPECT_EQ(lastSaveDir, dir.path + "/");
    Picture picture;
    ASSERT_TRUE(ReadPicture(dir.Path("result.png"), &picture));
    EXPECT_EQ(picture.width, 6);
    EXPECT_EQ(picture.pixels[0], 0x336699u);
    AnswerFileDialogCancel();
    EXPECT_EQ(SaveImageAs(), -1);
}

TEST_F(DialogTest, StartUpRemembersTheCurrentDirectory) {
    jpegQuality = 30;
    openFilterIndex = 7;
    ResetImageFileSettings();
    char current[QIV_PATH_SIZE];
    ASSERT_NE(getcwd(current, sizeof(current)), nullptr);
    EXPECT_STREQ(lastLoadDir, current);
    EXPECT_STREQ(lastSaveDir, current);
    EXPECT_EQ(jpegQuality, 100);
    EXPECT_EQ(openFilterIndex, 2);
}

} // namespace
