// The main window's creation prompts, answered through the current text window while the
// whole program runs: the prompts print and read on the main thread, the worker serves the
// text window.
#include "tests/support/program_fixture.h"

#include "runtime/control_words.h"
#include "runtime/program_state.h"
#include "textwin/key_ring.h"
#include "textwin/text_window.h"

#include <memory>
#include <string>
#include <thread>

using namespace qivtest;
using namespace platform::testing;

namespace {

class PromptTest : public ProgramTest {
protected:
    // Chooses a menu command and answers its prompts: each answer is typed into text window 0
    // (through its queue, as the desktop would) once a line is being read, and the next one
    // waits until that line was entered. Keys typed between two prompts are dropped, as they
    // are for a user, so a slow worker must not see the next answer early. Two answers in a
    // row must differ, as must the first from the line entered before.
    void Answer(UINT command, const std::wstring& answers) {
        std::thread typist([answers] {
            std::size_t start = 0;
            while (start < answers.size()) {
                std::size_t end = answers.find(L'\r', start);
                const std::wstring line = answers.substr(start, end - start);
                while (InputActive == 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                for (std::size_t i = start; i <= end; ++i) {
                    PostMessageW(TextWindowHandle(0), WM_CHAR, answers[i], 0);
                }
                wchar_t last[QIV_INPUT_CHARS + 1] = {};
                do {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    GetLastInputLine(last);
                } while (line != last);
                start = end + 1;
            }
        });
        PostMessageW(MainWindow, WM_COMMAND, command, 0);
        // The command runs inside this pump; it returns once the prompts are answered.
        PumpMainUntil([] { return false; }, std::chrono::milliseconds(300));
        ASSERT_TRUE(PumpMainUntil([] { return InputActive == 0 && RequestCode == 0; }));
        typist.join();
    }
};

TEST_F(PromptTest, ImageWindowPromptsAskThroughTextWindowZero) {
    RequestArgs.width = RequestArgs.height = RequestArgs.bits = -1;
    Answer(1027, L"640\r480\r32\r");
    ASSERT_NE(TextWindowHandle(0), nullptr);
    EXPECT_EQ(CurrentTextWindow.load(), 0);
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
    EXPECT_EQ(CurrentTextWindow.load(), 1);
}

} // namespace
