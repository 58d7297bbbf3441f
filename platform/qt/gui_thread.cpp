#include "platform/qt/gui_thread.h"

#include "platform/user/backend.h"
#include "platform/user/thread_queue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <deque>
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

struct QueuedCall {
    std::function<void()> fn;
    std::shared_ptr<PendingCall> call; // null when nobody waits
};
std::deque<QueuedCall> queued;

void Finish(const std::shared_ptr<PendingCall>& call) {
    {
        std::lock_guard lock(call->mutex);
        call->done = true;
    }
    call->finished.notify_all();
}

// Runs every queued call in order, on the GUI thread.
void RunQueuedCalls() {
    for (;;) {
        QueuedCall next;
        {
            std::lock_guard lock(callsMutex);
            if (queued.empty()) {
                return;
            }
            next = std::move(queued.front());
            queued.pop_front();
        }
        next.fn();
        if (next.call) {
            {
                std::lock_guard lock(callsMutex);
                waiting.erase(next.call);
            }
            Finish(next.call);
        }
    }
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
        queued.clear();
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
        // The work travels through this queue, under a mutex the thread checkers can see;
        // the Qt event only says that there is work.
        queued.push_back({std::move(fn), mode == GuiCall::Wait ? call : nullptr});
        QMetaObject::invokeMethod(
            receiver, [] { RunQueuedCalls(); }, Qt::QueuedConnection);
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

void WaitGuiEvents(int milliseconds) {
    if (!IsGuiThread()) {
        return;
    }
    // The timer's event ends the dispatcher's wait when nothing else does.
    static QTimer* timer = [] {
        auto* t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
        return t;
    }();
    timer->start(milliseconds);
    ProcessGuiEvents(true);
    timer->stop();
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
