// Real image windows on the offscreen desktop: the "qiv_iw" class, a stand-in main window on
// the GUI thread and a worker thread that creates the image windows and pumps their messages,
// as the runtime arranges it.
#pragma once

#include "imagewin/image_window.h"
#include "tests/support/snap_targets.h"
#include "tests/support/window_fixture.h"

#include <atomic>
#include <functional>
#include <string>

namespace qivtest {

class ImageWindowTest : public WindowTest {
public:
    // What the desktop shows, once the worker's changes have reached it.
    static platform::testing::DesktopWindow Shown(HWND hwnd);
    static std::wstring Caption(HWND hwnd) { return Shown(hwnd).title; }

protected:
    void SetUp() override;
    void TearDown() override;

    // Runs on the worker and returns the result.
    int OnWorker(const std::function<int()>& task);
    // Dispatches the worker's waiting messages.
    void PumpWorker();

    static std::uint32_t* Pixels32(int n) { return qiv_pixels32[n]; }

    HWND owner = nullptr;
    std::unique_ptr<Worker> worker;
};

} // namespace qivtest
