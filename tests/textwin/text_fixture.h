// Text windows on the offscreen desktop: a worker thread that owns them and pumps while idle,
// as the runtime's worker does, and a main window on the test's (GUI) thread.
#pragma once

#include "platform/testing.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/worker.h"
#include "tests/support/snap_targets.h"
#include "tests/support/watchdog.h"
#include "textwin/key_ring.h"
#include "textwin/text_internal.h"
#include "textwin/text_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace qivtest {

// The texts the status line was given, oldest first.
std::vector<std::string> StatusHistory();

// Keys the main window received.
std::vector<WPARAM> MainWindowKeys();

class TextWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs task on the worker between two rounds of its idle loop and waits for it.
    void OnWorker(const std::function<void()>& task);
    // Starts task on the worker; Finished() tells when it has returned.
    void StartOnWorker(const std::function<void()>& task);
    bool Finished() const { return pending == 0; }
    void WaitFinished();

    // Opens text window n (client size width × height) on the worker; fails the test if not.
    HWND Open(int n, int width, int height);
    // Printf on the worker.
    void Print(const char* text);
    // A copy of record n, taken under its lock.
    TextWindowRecord Record(int n);
    // Waits until the worker has shown the current state of window n, then captures it.
    platform::testing::Capture Shown(int n);
    // Starts QIV_Input on the worker into line and waits until it reads.
    void StartInput(char* line);
    // Waits until window n's cursor stands at (x, y).
    void WaitCursor(int n, int x, int y);

private:
    void Loop();
    std::unique_ptr<Watchdog> watchdog;
    std::thread worker;
    std::atomic<bool> stop{false};
    std::function<void()> task;
    std::atomic<int> pending{0};
};

// Pixels of text drawn with the OEM fixed font at (0, 0) of a black bitmap.
platform::testing::Capture Reference(const std::wstring& text, int width, int height,
                                     int textColor = 0xFFFFFF, int backColor = 0x000000);
// True when the rectangle of a equals the same rectangle of b placed at (bx, by).
bool SameBlock(const platform::testing::Capture& a, int ax, int ay,
               const platform::testing::Capture& b, int bx, int by, int width, int height);
// True when every pixel of the rectangle is colour.
bool AllOf(const platform::testing::Capture& c, int x, int y, int width, int height,
           std::uint32_t colour);

} // namespace qivtest
