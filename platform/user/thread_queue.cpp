#include "platform/user/thread_queue.h"

#include "platform/user/backend.h"
#include "platform/user/internal.h"
#include "platform/user/window_table.h"

#include <algorithm>
#include <climits>
#include <map>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

std::mutex registryMutex;
std::map<DWORD, std::shared_ptr<ThreadQueue>> registry;
std::atomic<bool> shuttingDown{false};

// Ends the thread's queue when the thread exits: senders waiting on it are released, and its
// windows are destroyed without calling their procedures (the thread can no longer run them).
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) {
            return;
        }
        std::deque<std::shared_ptr<SentMessage>> pending;
        {
            std::lock_guard lock(queue->mutex);
            queue->dead = true;
            pending.swap(queue->sent);
            for (QueuedMessage& m : queue->posted) {
                ReleaseMessageResources(m.msg);
            }
            queue->posted.clear();
            queue->invalid.clear();
        }
        for (auto& sent : pending) {
            sent->result = 0;
            sent->done = true;
            sent->sender->Wake();
        }
        ReleaseWindowsOfThread(queue->threadId);
        std::lock_guard lock(registryMutex);
        registry.erase(queue->threadId);
    }
};

thread_local QueueHolder holder;

} // namespace

void ThreadQueue::Wake() {
    {
        std::lock_guard lock(mutex);
        ++serial;
    }
    changed.notify_all();
    if (gui) {
        backend::WakeGuiThread();
    }
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!holder.queue) {
        DWORD self = GetCurrentThreadId();
        bool gui = backend::HasGui() && backend::IsGuiThread();
        holder.queue = std::make_shared<ThreadQueue>(self, gui);
        std::lock_guard lock(registryMutex);
        registry[self] = holder.queue;
    }
    return holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
    std::lock_guard lock(registryMutex);
    auto it = registry.find(threadId);
    return it == registry.end() ? nullptr : it->second;
}

bool Enqueue(ThreadQueue& queue, QueuedMessage message) {
    {
        std::lock_guard lock(queue.mutex);
        if (queue.dead) {
            return false;
        }
        bool coalesce = false;
        if (!queue.posted.empty()) {
            QueuedMessage& last = queue.posted.back();
            coalesce = last.msg.hwnd == message.msg.hwnd && last.kind == message.kind &&
                       ((message.kind == QueuedKind::Posted && last.msg.message == WM_MOUSEMOVE &&
                         message.msg.message == WM_MOUSEMOVE) ||
                        message.kind == QueuedKind::UserGeometry);
        }
        if (coalesce) {
            queue.posted.back() = std::move(message);
        } else {
            queue.posted.push_back(std::move(message));
        }
        ++queue.serial;
    }
    queue.changed.notify_all();
    if (queue.gui) {
        backend::WakeGuiThread();
    }
    return true;
}

void QueuePaint(ThreadQueue& queue, HWND hwnd) {
    {
        std::lock_guard lock(queue.mutex);
        if (queue.dead) {
            return;
        }
        if (std::find(queue.invalid.begin(), queue.invalid.end(), hwnd) != queue.invalid.end()) {
            return;
        }
        queue.invalid.push_back(hwnd);
        ++queue.serial;
    }
    queue.changed.notify_all();
    if (queue.gui) {
        backend::WakeGuiThread();
    }
}

void PurgeWindow(ThreadQueue& queue, HWND hwnd) {
    std::lock_guard lock(queue.mutex);
    auto& posted = queue.posted;
    for (auto it = posted.begin(); it != posted.end();) {
        if (it->msg.hwnd == hwnd) {
            ReleaseMessageResources(it->msg);
            it = posted.erase(it);
        } else {
            ++it;
        }
    }
    queue.invalid.erase(std::remove(queue.invalid.begin(), queue.invalid.end(), hwnd),
                        queue.invalid.end());
}

void DispatchIncomingSent(ThreadQueue& queue) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(queue.mutex);
            if (queue.sent.empty()) {
                return;
            }
            sent = queue.sent.front();
            queue.sent.pop_front();
        }
        LRESULT result = 0;
        if (IsOwnedByCurrentThread(sent->hwnd)) {
            result = CallWindowProcedure(sent->hwnd, sent->message, sent->wParam, sent->lParam);
        }
        sent->result = result;
        sent->done = true;
        sent->sender->Wake();
    }
}

void WaitForQueue(ThreadQueue& queue, std::uint64_t seenSerial,
                  const std::function<bool()>& finished) {
    if (queue.gui) {
        for (;;) {
            {
                std::lock_guard lock(queue.mutex);
                if (queue.serial != seenSerial || !queue.sent.empty()) {
                    return;
                }
            }
            if ((finished && finished()) || shuttingDown) {
                return;
            }
            backend::ProcessGuiEvents(true);
            // Qt events may have queued messages or finished the wait; look again.
            {
                std::lock_guard lock(queue.mutex);
                if (queue.serial != seenSerial || !queue.sent.empty()) {
                    return;
                }
            }
            if ((finished && finished()) || shuttingDown) {
                return;
            }
        }
    }
    std::unique_lock lock(queue.mutex);
    queue.changed.wait(lock, [&] {
        return queue.serial != seenSerial || !queue.sent.empty() || shuttingDown ||
               (finished && finished());
    });
}

bool WaitForQueueUntil(ThreadQueue& queue, std::uint64_t seenSerial,
                       std::chrono::steady_clock::time_point deadline) {
    auto changed = [&] {
        return queue.serial != seenSerial || !queue.sent.empty() || shuttingDown;
    };
    if (queue.gui) {
        for (;;) {
            {
                std::lock_guard lock(queue.mutex);
                if (changed()) {
                    return true;
                }
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            backend::WaitGuiEvents(static_cast<int>(std::min<long long>(left.count(), INT_MAX)));
        }
    }
    std::unique_lock lock(queue.mutex);
    return queue.changed.wait_until(lock, deadline, changed);
}

void RunModalLoop(const std::function<bool()>& finished) {
    auto queue = CurrentQueue();
    bool sawQuit = false;
    int quitCode = 0;
    while (!finished() && !shuttingDown) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                sawQuit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        std::uint64_t serial;
        {
            std::lock_guard lock(queue->mutex);
            serial = queue->serial;
        }
        // Look once more after reading the serial so that nothing slips between the peek and
        // the wait.
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            continue;
        }
        WaitForQueue(*queue, serial, finished);
    }
    if (sawQuit) {
        PostQuitMessage(quitCode);
    }
}

void ShutDownQueues() {
    shuttingDown = true;
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    {
        std::lock_guard lock(registryMutex);
        for (auto& [id, queue] : registry) {
            queues.push_back(queue);
        }
    }
    for (auto& queue : queues) {
        std::deque<std::shared_ptr<SentMessage>> pending;
        {
            std::lock_guard lock(queue->mutex);
            pending.swap(queue->sent);
        }
        for (auto& sent : pending) {
            sent->result = 0;
            sent->done = true;
            sent->sender->Wake();
        }
        queue->Wake();
    }
}

bool IsShuttingDown() {
    return shuttingDown;
}

} // namespace platform

DWORD GetCurrentThreadId() {
    thread_local DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}
