#include "platform/qt/gui_thread.h"

#include "platform/user/backend.h"
#include "platform/user/thread_queue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

namespace platform::qt {
namespace {

struct PendingCall {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

std::mutex callsMutex;
QObject* receiver = nullptr; // lives on the GUI thread
bool stopped = false;
std::set<std::shared_ptr<PendingCall>> waiting;

void Finish(const std::shared_ptr<PendingCall>& call) {
    {
        std::lock_guard lock(call->mutex);
        call->done = true;
    }
    call->finished.notify_all();
}

} // namespace

void StartGuiThreadCalls() {
    std::lock_guard lock(callsMutex);
    if (!receiver) {
        receiver = new QObject(QCoreApplication::instance());
    }
    stopped = false;
}

void StopGuiThreadCalls() {
    std::set<std::shared_ptr<PendingCall>> released;
    {
        std::lock_guard lock(callsMutex);
        stopped = true;
        released.swap(waiting);
        receiver = nullptr; // deleted with the application
    }
    for (const auto& call : released) {
        Finish(call);
    }
}

void RunOnGuiThread(std::function<void()> fn, GuiCall mode) {
    if (!QCoreApplication::instance()) {
        fn();
        return;
    }
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        fn();
        return;
    }
    auto call = std::make_shared<PendingCall>();
    {
        std::lock_guard lock(callsMutex);
        if (stopped || !receiver) {
            return;
        }
        if (mode == GuiCall::Wait) {
            waiting.insert(call);
        }
        QMetaObject::invokeMethod(
            receiver,
            [fn = std::move(fn), call, mode] {
                fn();
                if (mode == GuiCall::Wait) {
                    {
                        std::lock_guard lock(callsMutex);
                        waiting.erase(call);
                    }
                    Finish(call);
                }
            },
            Qt::QueuedConnection);
    }
    if (mode == GuiCall::Wait) {
        std::unique_lock lock(call->mutex);
        call->finished.wait(lock, [&] { return call->done; });
    }
}

} // namespace platform::qt

namespace platform::backend {

bool HasGui() {
    return QCoreApplication::instance() != nullptr;
}

bool IsGuiThread() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void WakeGuiThread() {
    auto* app = QCoreApplication::instance();
    if (!app) {
        return;
    }
    if (auto* dispatcher = QAbstractEventDispatcher::instance(app->thread())) {
        dispatcher->wakeUp();
    }
}

void ProcessGuiEvents(bool wait) {
    if (!IsGuiThread()) {
        return;
    }
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    // Outside a running QEventLoop, deferred deletes are only carried out when asked for.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace platform::backend
