// The test application and pumping with deadlines.
#include "platform/qt/platform_init.h"
#include "platform/testing.h"

#include <QApplication>
#include <QCoreApplication>

#include <thread>

namespace platform::testing {

void StartTestApplication() {
    if (QCoreApplication::instance()) {
        return;
    }
    static int argc = 1;
    static char name[] = "qiv-test";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends: tests share one application.
    new QApplication(argc, argv);
    qt::InitializePlatform();
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return done();
        }
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds time) {
    auto end = std::chrono::steady_clock::now() + time;
    PumpUntil([end] { return std::chrono::steady_clock::now() >= end; }, time * 2);
}

void ProcessDesktopEvents() {
    if (!QCoreApplication::instance()) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace platform::testing
