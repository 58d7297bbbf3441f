// The runtime's side of the text windows, reduced to what the tests need: the pumps, the status
// line and snapping. The runtime's state (MainWindow, ScreenBitsPerPixel) is the real one.
#include "text_fixture.h"

#include "textwin/runtime_seams.h"

#include <chrono>

namespace {

void PumpQueue() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

void QIV_PumpMessages() {
    PumpQueue();
}

void PumpMainMessages() {
    PumpQueue();
}

void QIV_SetStatus(const char* text) {
    qivtest::RecordStatus(text);
}

std::uint32_t QIV_GetTime() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void RebuildSnapTargets() {
    qivtest::snapRebuilds++;
}

void SnapMovingWindow(HWND, RECT*) {}
