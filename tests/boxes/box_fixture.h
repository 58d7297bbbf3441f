// The boxes on the offscreen desktop, owned by the test's thread, with a recording main
// window; their rename prompts go to a real text window on the same thread.
#pragma once

#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_fixture.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace boxtest {

// Dispatches the waiting messages with the boxes' dialog keys, as the worker's pump does.
void PumpBoxes();
// Pumps until done() or the time is up; returns done().
bool PumpBoxesUntil(const std::function<bool()>& done);

std::wstring TextOf(HWND hwnd);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
SIZE ClientSize(HWND hwnd);

class BoxTest : public qivtest::WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // A key to the window that has the focus (the box when none of its controls has it).
    void Press(HWND fallback, int vk, unsigned modifiers = platform::testing::NO_MODIFIER);

    // Types each answer (then Enter) into text window 0 once a line is being read there, as
    // a user answering the rename prompts would; an answer counts once it is the last line
    // entered, so two in a row must differ. With log, text window 0 is opened first and logs
    // what it prints and reads, which Printed returns.
    void Answer(std::vector<std::wstring> answers, bool log = true);
    bool Answered() const { return unanswered == 0; }
    // The log since the last call: the prompts and the lines entered after them.
    std::string Printed();

private:
    std::thread typist;
    std::atomic<bool> stopTyping{false};
    std::atomic<int> unanswered{0};
    std::unique_ptr<TempFolder> logFolder;
};

} // namespace boxtest
