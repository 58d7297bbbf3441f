// The main window's image window requests, served by the real worker of the running program.
#include "tests/support/program_fixture.h"

#include "imagewin/image_window.h"
#include "runtime/control_words.h"
#include "runtime/program_state.h"
#include "runtime/worker.h"

#include <memory>
#include <string>

using namespace qivtest;
using namespace platform::testing;

namespace {

class ImageRequests : public ProgramTest {
protected:
    // Runs body as the user program on the worker and waits for it to return.
    static void RunOnWorker(std::function<void()> body) {
        const int before = UserLog().mainReturns.load();
        SetUserBody(std::move(body));
        PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
        ASSERT_TRUE(PumpMainUntil(
            [before] { return UserLog().mainReturns.load() > before && Running.load() == 0; }));
        SetUserBody(nullptr);
    }
};

TEST_F(ImageRequests, CreationAndRefreshAreCarriedOutByTheWorker) {
    ASSERT_EQ(RequestCreateImage(0, "000 photo", 40, 30, 32), 0);
    const HWND hwnd = qiv_image[0].hwnd;
    EXPECT_NE(GetWindowThreadProcessId(hwnd, nullptr), GetCurrentThreadId()); // the worker's
    ProcessDesktopEvents();
    const DesktopWindow shown = DesktopWindowOf(hwnd);
    EXPECT_TRUE(shown.transientForOwner);
    EXPECT_EQ(shown.title, L"000 photo(100%)");
    EXPECT_EQ(shown.client.right - shown.client.left, 40);
    EXPECT_EQ(qiv_target, 0);

    EXPECT_EQ(RequestCreateImage(0, "again", 10, 10, 32), 1);
    EXPECT_EQ(RequestCreateImage(1, "001", 10, 10, 16), 3);
    EXPECT_EQ(RequestCreateImage(1, "001", 2, 20000, 8), 2);
    EXPECT_EQ(RequestCreateImage(256, "256", 10, 10, 32), 4);
    EXPECT_EQ(qiv_image[1].inUse, 0);

    // The user program draws without refreshing; request 9002 shows it.
    RunOnWorker([] { qiv_pixels32[0][0] = 0xFF0000; });
    Capture client;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &client));
    EXPECT_EQ(client.At(0, 0), 0u);
    RequestUpdateImage(0);
    ASSERT_TRUE(CaptureClientSurface(hwnd, &client));
    EXPECT_EQ(client.At(0, 0), 0xFF0000u);
    EXPECT_EQ(client.At(1, 0), 0u);

    RunOnWorker([] { QIV_DestroyImage(0); });
    EXPECT_EQ(qiv_image[0].inUse, 0);
}

} // namespace
