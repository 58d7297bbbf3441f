#include "image_window_fixture.h"

#include "imagewin/pointer_events.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"

namespace qivtest {
namespace {

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

bool ImageWindowTest::IsSnapTarget(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const SnapTargets& t = qiv_snapTargets;
    for (int i = 0; i < t.count; ++i) {
        if (t.left[i] == r.left && t.top[i] == r.top && t.right[i] == r.right &&
            t.bottom[i] == r.bottom) {
            return true;
        }
    }
    return false;
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
