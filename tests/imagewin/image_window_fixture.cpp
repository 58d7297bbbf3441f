#include "image_window_fixture.h"

#include "imagewin/pointer_events.h"
#include "runtime/program_state.h"

namespace qivtest {

void ImageWindowTest::SetUp() {
    WindowTest::SetUp();
    static const int registered = RegisterFrameworkClasses(nullptr); // as start-up does
    ASSERT_EQ(registered, FRAMEWORK_CLASS_COUNT);
    ResetImageWindowTable();
    qiv_target = 0;
    PointerRecording = 0;
    PointerWindow = -1;
    PointerX = PointerY = PointerLeft = PointerMiddle = PointerShift = PointerCtrl = 0;
    ToolActive = 0;
    ToolWindow = -1;
    owner = CreateWindowExW(0, RecordingClass(), L"owner", WS_VISIBLE | WS_CAPTION, 0, 0, 120, 60,
                            nullptr, nullptr, nullptr, nullptr);
    MainWindow = owner;
    worker = std::make_unique<Worker>();
}

void ImageWindowTest::TearDown() {
    worker->Call([] {
        for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
            QIV_DestroyImage(n);
        }
        PumpAll();
    });
    worker.reset();
    MainWindow = nullptr;
    DestroyWindow(owner);
    WindowTest::TearDown();
}

int ImageWindowTest::OnWorker(const std::function<int()>& task) {
    int result = -1;
    worker->Call([&] { result = task(); });
    return result;
}

void ImageWindowTest::PumpWorker() {
    worker->Call([] { PumpAll(); });
}

platform::testing::DesktopWindow ImageWindowTest::Shown(HWND hwnd) {
    // Texts and sizes set on the worker reach the desktop without the worker waiting for it.
    platform::testing::ProcessDesktopEvents();
    return platform::testing::DesktopWindowOf(hwnd);
}

} // namespace qivtest
