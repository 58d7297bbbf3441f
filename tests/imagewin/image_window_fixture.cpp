#include "image_window_fixture.h"

#include "imagewin/pointer_events.h"
#include "imagewin/window_services.h"

namespace qivtest {
namespace {

std::atomic<int>* rebuildCounter = nullptr;

void CountRebuild() {
    if (rebuildCounter != nullptr) {
        ++*rebuildCounter;
    }
}

void RegisterImageClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSW wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = ImageWndProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"qiv_iw";
    registered = RegisterClassW(&wc) != 0;
}

} // namespace

void ImageWindowTest::SetUp() {
    WindowTest::SetUp();
    RegisterImageClass();
    ResetImageWindowTable();
    qiv_target = 0;
    PointerRecording = 0;
    PointerWindow = -1;
    PointerX = PointerY = PointerLeft = PointerMiddle = PointerShift = PointerCtrl = 0;
    ToolActive = 0;
    ToolWindow = -1;
    owner = CreateWindowExW(0, RecordingClass(), L"owner", WS_VISIBLE | WS_CAPTION, 0, 0, 120, 60,
                            nullptr, nullptr, nullptr, nullptr);
    rebuildCounter = &snapRebuilds;
    qiv_image_services = {owner, CountRebuild, nullptr};
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
    qiv_image_services = {nullptr, nullptr, nullptr};
    rebuildCounter = nullptr;
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
