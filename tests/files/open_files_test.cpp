// Dropped files, command-line files and Paste on the main window, through recorded requests.
#include "imagewin/image_open_files.h"
#include "platform/testing.h"
#include "runtime/text_convert.h"
#include "tests/files/file_test_support.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

namespace {

using namespace filetest;
using namespace platform::testing;

struct Recorded {
    std::set<int> inUse;
    std::vector<std::string> calls;
    int giveUpAt = -1; // creation of this number fails with 4
    int tooLarge = 0;  // creations refused as too large for the screen
    HBITMAP pasted = nullptr;
};
Recorded* recorded = nullptr;

int Create(int n, const char* title, int width, int height, int bits) {
    if (n == recorded->giveUpAt) {
        return 4;
    }
    if (width > 1000) {
        ++recorded->tooLarge;
        return 2; // no zoom fits the screen
    }
    if (recorded->inUse.count(n) != 0) {
        return 1;
    }
    recorded->inUse.insert(n);
    recorded->calls.push_back("create " + std::string(title) + " " + std::to_string(width) + "x" +
                              std::to_string(height) + "x" + std::to_string(bits));
    return 0;
}
int Load(int n, const char* path) {
    recorded->calls.push_back("load " + std::to_string(n) + " " + path);
    return 0;
}
void Update(int n) {
    recorded->calls.push_back("update " + std::to_string(n));
}
void Paste(HBITMAP bitmap) {
    recorded->pasted = bitmap;
    recorded->calls.push_back("paste");
}
int Restore() {
    recorded->calls.push_back("restore");
    return 0;
}

void Report(const char* text) {
    recorded->calls.push_back(std::string("report ") + text);
}

const ImageRequests REQUESTS = {Create, Load, Update, Paste, Restore, nullptr, Report};

class OpenFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartTestApplication();
        ResetImageWindowTable();
        recorded = &record;
        FakeImageWindow source(100, 3, 2, 32);
        qiv_target = 100;
        for (const char* name : {"a", "b", "c"}) {
            ASSERT_EQ(QIV_SaveImage(3, 2, 3, dir.Path(name).c_str()), 0);
        }
    }
    void TearDown() override { recorded = nullptr; }
    std::wstring Wide(const std::string& name) const {
        const std::string path = dir.Path(name);
        return std::wstring(path.begin(), path.end());
    }

    Watchdog watchdog{std::chrono::seconds(30), "open files test"};
    TempFolder dir;
    Recorded record;
};

TEST_F(OpenFilesTest, ThreeFilesOpenAsWindows000To002TitledWithTheirNames) {
    EXPECT_EQ(OpenImageFiles({Wide("a.png"), Wide("b.png"), Wide("c.png")}, REQUESTS), 3);
    const std::vector<std::string> expected = {
        "create 000 a.png 3x2x32", "load 0 " + dir.Path("a.png"), "update 0", "restore",
        "create 001 b.png 3x2x32", "load 1 " + dir.Path("b.png"), "update 1", "restore",
        "create 002 c.png 3x2x32", "load 2 " + dir.Path("c.png"), "update 2", "restore"};
    EXPECT_EQ(record.calls, expected);
}

TEST_F(OpenFilesTest, NumbersSkipWindowsInUseAndNonPicturesAndGoOnAcrossTheDrop) {
    record.inUse = {0, 2};
    const std::string text = std::string(QIV_TEST_DATA) + "/text_named.jpg";
    EXPECT_EQ(OpenImageFiles({Wide("a.png"), std::wstring(text.begin(), text.end()),
                              Wide("missing.png"), Wide("b.png")},
                             REQUESTS),
              2);
    ASSERT_EQ(record.calls.size(), 10u);
    EXPECT_EQ(record.calls[0], "create 001 a.png 3x2x32");
    // Without a program name to report to, the refusals go to the status line.
    EXPECT_EQ(record.calls[4], "report text_named.jpg: not an image this program reads");
    EXPECT_EQ(record.calls[5], "report missing.png: no such file");
    EXPECT_EQ(record.calls[6], "create 003 b.png 3x2x32");
    // A failure other than "in use" gives up that file; the next goes on from the next number.
    record.calls.clear();
    record.inUse.clear();
    record.giveUpAt = 0;
    EXPECT_EQ(OpenImageFiles({Wide("a.png"), Wide("b.png")}, REQUESTS), 1);
    EXPECT_EQ(record.calls[1], "create 001 b.png 3x2x32");
}

TEST_F(OpenFilesTest, RelativeNamesOpenWithTheirFullPath) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    EXPECT_EQ(OpenImageFiles({L"c.png"}, REQUESTS), 1);
    std::filesystem::current_path(before);
    EXPECT_EQ(record.calls[1], "load 0 " + dir.Path("c.png"));
}

TEST_F(OpenFilesTest, UnreadableFilesAreReportedWhenAskedTo) {
    ::testing::internal::CaptureStderr();
    const std::string data = QIV_TEST_DATA;
    const std::wstring cut(data.begin(), data.end());
    EXPECT_EQ(OpenImageFiles({Wide("missing.png"), Wide("a.png"), cut + L"/truncated.jpg",
                              cut + L"/huge_claim.png"},
                             REQUESTS, "qivstereo"),
              1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("qivstereo: cannot open " + dir.Path("missing.png") + ": no such file"),
              std::string::npos);
    EXPECT_NE(err.find("truncated.jpg: the data ends inside the picture"), std::string::npos)
        << err;
    EXPECT_NE(err.find("huge_claim.png: 100000 x 100000 pixels is past the limit"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("a.png"), std::string::npos);
}

TEST_F(OpenFilesTest, NamesOutsideAsciiOpenFromCommandLineAndDrop) {
    const std::string folder = dir.Path("写真フォルダ");
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/写真.png";
    {
        FakeImageWindow source(100, 3, 2, 32);
        qiv_target = 100;
        ASSERT_EQ(QIV_SaveImage(3, 2, 3, file.c_str()), 0);
    }
    wchar_t wide[QIV_PATH_SIZE];
    ASSERT_TRUE(Utf8ToWideIfFits(file.c_str(), wide, QIV_PATH_SIZE));
    EXPECT_EQ(OpenImageFiles({wide}, REQUESTS, "qivstereo"), 1);
    ASSERT_EQ(record.calls.size(), 4u);
    EXPECT_EQ(record.calls[0], "create 000 写真.png 3x2x32");
    EXPECT_EQ(record.calls[1], "load 0 " + file);
    // A relative name inside a folder named outside ASCII.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    EXPECT_EQ(OpenImageFiles({L"写真.png"}, REQUESTS), 1);
    std::filesystem::current_path(before);
    EXPECT_EQ(record.calls[5], "load 1 " + file);
}

TEST_F(OpenFilesTest, PathsOfAThousandBytesLoadSaveOpenAndComeFromTheDialogs) {
    std::string folder = dir.path;
    while (folder.size() < 1000) {
        folder += "/写真の保存先フォルダ"; // 30 bytes
        std::filesystem::create_directory(folder);
    }
    const std::string file = folder + "/左右の写真.png";
    {
        FakeImageWindow source(100, 3, 2, 32);
        source.At32(2, 1) = 0x123456;
        qiv_target = 100;
        ASSERT_EQ(QIV_SaveImage(3, 2, 3, (folder + "/左右の写真").c_str()), 0);
        FakeImageWindow target(101, 3, 2, 32);
        qiv_target = 101;
        ASSERT_EQ(QIV_LoadImage(file.c_str(), 0, 0), 0);
        EXPECT_EQ(target.At32(2, 1), 0x123456u);
    }
    std::vector<wchar_t> wide(QIV_LONG_PATH);
    ASSERT_TRUE(Utf8ToWideIfFits(file.c_str(), wide.data(), QIV_LONG_PATH));
    EXPECT_EQ(OpenImageFiles({wide.data()}, REQUESTS, "qivstereo"), 1);
    EXPECT_EQ(record.calls[1], "load 0 " + file);
    // The framework's dialogs hand such a path over; the 260-byte ones refuse it whole.
    InstallResponder();
    AnswerFileDialog(wide.data(), 5);
    std::vector<char> chosen(QIV_LONG_PATH);
    EXPECT_EQ(AskOpenImagePath(chosen.data(), QIV_LONG_PATH), 0);
    EXPECT_EQ(chosen.data(), file);
    EXPECT_EQ(lastLoadDir, folder + "/");
    AnswerFileDialog(wide.data(), 5);
    char shortPath[QIV_PATH_SIZE] = "unchanged";
    EXPECT_EQ(AskOpenImageFile(shortPath), 1);
    EXPECT_STREQ(shortPath, "unchanged");
    RemoveResponder();
}

TEST_F(OpenFilesTest, DroppedFilesOnTheMainWindow) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DROPFILES) {
            DropFilesOnMainWindow(reinterpret_cast<HDROP>(wParam), REQUESTS);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    wc.lpszClassName = L"files_main_drop";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"files_main_drop", L"main", WS_VISIBLE | WS_CAPTION, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr);
    DragAcceptFiles(hwnd, TRUE);
    DropFiles(hwnd, {Wide("b.png"), Wide("a.png")}, 5, 5);
    ASSERT_TRUE(PumpUntil([&] { return record.calls.size() == 8; }));
    EXPECT_EQ(record.calls[0], "create 000 b.png 3x2x32");
    EXPECT_EQ(record.calls[4], "create 001 a.png 3x2x32");
    DestroyWindow(hwnd);
}

TEST_F(OpenFilesTest, PasteTakesTheLowestFreeNumberOrSaysWhyItMadeNone) {
    FakeImageWindow source(0, 4, 3, 32);
    CopyImageToClipboard(0);
    record.inUse = {0, 1};
    PasteOnMainWindow(REQUESTS);
    const std::vector<std::string> expected = {"create 002 4x3x32", "paste", "update 2", "restore"};
    EXPECT_EQ(record.calls, expected);
    ASSERT_NE(record.pasted, nullptr);
    DeleteObject(record.pasted);
    // No free number: nothing is created and the bitmap is not leaked to anyone.
    record.calls.clear();
    record.pasted = nullptr;
    for (int k = 0; k < QIV_IMAGE_WINDOWS; ++k) {
        record.inUse.insert(k);
    }
    PasteOnMainWindow(REQUESTS);
    EXPECT_EQ(record.calls, std::vector<std::string>{"report Paste: no free image window"});
    // A picture too large for the screen: the first refusal is reported, no other number tried.
    record.calls.clear();
    record.inUse.clear();
    FakeImageWindow wide(1, 1500, 2, 32);
    CopyImageToClipboard(1);
    PasteOnMainWindow(REQUESTS);
    EXPECT_EQ(record.calls,
              std::vector<std::string>{"report Paste: 1500 x 2 pixels do not fit the screen"});
    EXPECT_EQ(record.tooLarge, 1);
    // Nothing on the clipboard: nothing happens.
    record.calls.clear();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    record.inUse.clear();
    PasteOnMainWindow(REQUESTS);
    EXPECT_TRUE(record.calls.empty());
}

} // namespace
