// The boxes on the offscreen desktop, owned by the test's thread, with a recording main
// window and stand-ins for what the runtime and the text windows provide: the prompt text
// printed and the lines the user will type.
#pragma once

#include "tests/platform/window_fixture.h"

#include "boxes/box_seams.h"
#include "runtime/qivlib.h"

#include <deque>
#include <string>

namespace boxtest {

struct TextWindowStandIn {
    std::string printed;
    std::deque<std::string> answers; // what QIV_Input returns, in order (empty when none left)
    int shown = 0;
};
TextWindowStandIn& TextWindow();

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
};

} // namespace boxtest
