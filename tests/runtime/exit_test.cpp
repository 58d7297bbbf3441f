// Exit and the instance limit: each test starts its own program (or none) and ends it.
#include "tests/support/program_fixture.h"

#include "runtime/control_words.h"
#include "runtime/program_state.h"
#include "runtime/worker.h"
#include "tests/support/watchdog.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace qivtest;
using namespace platform::testing;

namespace {

class ExitTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        watchdog = std::make_unique<Watchdog>(std::chrono::seconds(20),
                                              std::string("ExitTest.") + info->name());
        IsolateInstances();
        StartTestApplication();
        InstallResponder();
        ClearShown();
        ResetUserLog();
    }
    void TearDown() override {
        RemoveResponder();
        watchdog.reset();
    }
    std::unique_ptr<Watchdog> watchdog;
};

TEST_F(ExitTest, ExitFromTheMenuBarWhileIdleEndsWorkerLoopAndWindow) {
    ASSERT_TRUE(StartTestProgram());
    ASSERT_TRUE(ClickMenuBarItem(MainWindow, L"Exit(&X)"));
    RunMessageLoop();
    EXPECT_EQ(ExitState.load(), 2);
    EXPECT_TRUE(WorkerFinished());
    EXPECT_EQ(StopRequested.load(), 1);
    EXPECT_EQ(ShutDownProgram(), 0);
    EXPECT_EQ(FindWindowW(L"qivlib_mw0", nullptr), nullptr);
    EXPECT_EQ(UserLog().mainCalls.load(), 0);
}

TEST_F(ExitTest, ClosingFromTheDesktopIsAnExit) {
    ASSERT_TRUE(StartTestProgram());
    CloseFromDesktop(MainWindow);
    RunMessageLoop();
    EXPECT_EQ(ExitState.load(), 2);
    EXPECT_TRUE(WorkerFinished());
    EXPECT_EQ(ShutDownProgram(), 0);
}

// A window of the main thread whose message posts a second request behind the first.
int nestedResult = 0;
LRESULT CALLBACK NestingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        nestedResult = RequestCreateImage(7, "007", 10, 10, 32);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(ExitTest, EscapeDuringACooperativeProgramEndsItAndWaitingRequestsGiveUp) {
    ASSERT_TRUE(StartTestProgram());
    WNDCLASSW wc = {};
    wc.lpfnWndProc = NestingProc;
    wc.lpszClassName = L"qiv_test_exit_nesting";
    RegisterClassW(&wc);
    HWND nesting = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    SetUserBody(PumpUntilStopped);
    KeyPress(MainWindow, 'S');
    ASSERT_TRUE(PumpMainUntil([] { return Running.load() == 1; }));
    // The outer request waits to be served, the nested one for the outer to go; Exit runs
    // inside the nested one's pumping and the worker ends without serving either.
    nestedResult = 0;
    PostMessageW(nesting, WM_USER, 0, 0);
    PostMessageW(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    int result = RequestCreateImage(300, "300", 10, 10, 32);
    EXPECT_LT(result, 0);
    EXPECT_LT(nestedResult, 0);
    DestroyWindow(nesting);
    UnregisterClassW(wc.lpszClassName, nullptr);
    EXPECT_EQ(UserLog().mainReturns.load(), 1);
    EXPECT_EQ(ExitState.load(), 2);
    EXPECT_TRUE(WorkerFinished());
    // The quit message the destroyed window posted still ends the loop.
    RunMessageLoop();
    EXPECT_EQ(ShutDownProgram(), 0);
    EXPECT_FALSE(IsWindow(MainWindow));
}

TEST_F(ExitTest, TheLowestFreeInstanceNumberIsTakenAndAnEleventhIsRefused) {
    std::vector<HWND> others;
    std::vector<std::wstring> names;
    for (int i = 0; i < QIV_MAX_INSTANCES; ++i) {
        names.push_back(L"qivlib_mw" + std::to_wstring(i));
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = names.back().c_str();
        ASSERT_TRUE(RegisterClassW(&wc));
        others.push_back(CreateWindowExW(0, names.back().c_str(), L"", WS_CAPTION, 0, 0, 50, 50,
                                         nullptr, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ(ChooseInstanceNumber(), -1);
    EXPECT_EQ(StartProgram(nullptr), 1);
    auto boxes = ShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Over instance limit!");
    EXPECT_EQ(boxes[0].caption, L"QIVLIB");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(MainWindow, nullptr);

    DestroyWindow(others[1]);
    DestroyWindow(others[7]);
    EXPECT_EQ(ChooseInstanceNumber(), 1);
    DestroyWindow(others[0]);
    EXPECT_EQ(ChooseInstanceNumber(), 0);
    for (int i = 0; i < QIV_MAX_INSTANCES; ++i) {
        DestroyWindow(others[static_cast<std::size_t>(i)]);
        UnregisterClassW(names[static_cast<std::size_t>(i)].c_str(), nullptr);
    }
}

TEST_F(ExitTest, AnInstanceNumberClaimedBeforeItsWindowExistsIsNotTakenTwice) {
    ReleaseInstanceNumber(); // what an earlier test of this process claimed
    // Another program that has claimed 0 but not yet made its main window.
    HANDLE other = CreateMutexW(nullptr, TRUE, L"qivlib-instance-0");
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ChooseInstanceNumber(), 1);
    HANDLE again = CreateMutexW(nullptr, TRUE, L"qivlib-instance-1");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)); // ours now
    CloseHandle(again);
    CloseHandle(other); // as when that program dies
    EXPECT_EQ(ChooseInstanceNumber(), 0);
    ReleaseInstanceNumber();
}

TEST_F(ExitTest, AWorkerThatIgnoresExitKeepsTheFontItDrawsWithUntilTheProcessEnds) {
    static std::atomic<bool> release{false};
    release = false;
    SetUserBody([] {
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    ASSERT_TRUE(StartTestProgram());
    KeyPress(MainWindow, 'S');
    ASSERT_TRUE(PumpMainUntil([] { return Running.load() == 1; }));
    ASSERT_TRUE(ClickMenuBarItem(MainWindow, L"Exit(&X)"));
    RunMessageLoop(); // after the grace, with the worker still inside the user program
    ASSERT_FALSE(WorkerFinished());
    const HFONT font = qiv_ttFont;
    EXPECT_EQ(ShutDownProgram(), 0);
    EXPECT_NE(font, nullptr);
    EXPECT_EQ(qiv_ttFont, font);

    release = true;
    ASSERT_TRUE(PumpMainUntil([] { return WorkerFinished(); }, std::chrono::seconds(10)));
    EXPECT_EQ(ShutDownProgram(), 0);
    EXPECT_EQ(qiv_ttFont, nullptr);
}

} // namespace
