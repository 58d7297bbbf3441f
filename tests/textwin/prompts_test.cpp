// The main window's creation prompts, answered through the current text window while the
// whole program runs: the prompts print and read on the main thread, the worker serves the
// text window.
#include "../runtime/program_fixture.h"

#include "runtime/control_words.h"
#include "runtime/program_state.h"
#include "textwin/key_ring.h"
#include "textwin/runtime_seams.h"

#include <memory>
#include <string>
#include <thread>

using namespace qivtest;
using namespace platform::testing;

namespace {

class PromptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Watchdog startWatch(std::chrono::seconds(20), "program start");
        ASSERT_TRUE(StartTestProgram());
    }
    static void TearDownTestSuite() {
        Watchdog endWatch(std::chrono::seconds(20), "program end");
        EndTestProgram();
    }
    void SetUp() override {
        watchdog = std::make_unique<Watchdog>(std::chrono::seconds(20), "PromptTest");
    }
    void TearDown() override { watchdog.reset(); }

    // Chooses a menu command and answers its prompts: the answers are typed into text window
    // 0 (through its queue, as the desktop would) once it reads its first line.
    void Answer(UINT command, const std::wstring& answers) {
        std::thread typist([answers] {
            while (InputActive == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            for (wchar_t c : answers) {
                PostMessageW(TextWindowHandle(0), WM_CHAR, c, 0);
            }
        });
        PostMessageW(MainWindow, WM_COMMAND, command, 0);
        // The command runs inside this pump; it returns once the prompts are answered.
        PumpMainUntil([] { return false; }, std::chrono::milliseconds(300));
        ASSERT_TRUE(PumpMainUntil([] { return InputActive == 0 && RequestCode == 0; }));
        typist.join();
    }

    std::unique_ptr<Watchdog> watchdog;
};

TEST_F(PromptTest, ImageWindowPromptsAskThroughTextWindowZero) {
    RequestArgs.width = RequestArgs.height = RequestArgs.bits = -1;
    Answer(1027, L"640\r480\r32\r");
    ASSERT_NE(TextWindowHandle(0), nullptr);
    EXPECT_EQ(CurrentTextWindowNumber(), 0);
    EXPECT_EQ(RequestArgs.number, 0u);
    EXPECT_EQ(RequestArgs.width, 640);
    EXPECT_EQ(RequestArgs.height, 480);
    EXPECT_EQ(RequestArgs.bits, 32);
    wchar_t last[256];
    GetLastInputLine(last);
    EXPECT_EQ(std::wstring(last), L"32");
}

TEST_F(PromptTest, ABitDepthOf24CreatesNothing) {
    RequestArgs.width = RequestArgs.height = RequestArgs.bits = -1;
    Answer(1027, L"640\r480\r24\r");
    EXPECT_EQ(RequestArgs.bits, -1);
}

TEST_F(PromptTest, TextWindowCommandOpensTheLowestFreeNumber) {
    ASSERT_NE(TextWindowHandle(0), nullptr);
    PostMessageW(MainWindow, WM_COMMAND, 1028, 0);
    ASSERT_TRUE(PumpMainUntil([] { return TextWindowHandle(1) != nullptr; }));
    EXPECT_EQ(CurrentTextWindowNumber(), 1);
}

} // namespace
