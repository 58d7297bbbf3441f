// Per-thread message queues.
//
// Every thread that creates a window (or asks for messages) gets a queue on first use. Other
// threads append to it under its mutex and wake it; the owning thread takes messages out under
// the lock and dispatches them with the lock released. Retrieval follows Win32's order:
// messages sent from other threads are dispatched first, then posted and input messages, then
// WM_QUIT, then one WM_PAINT per invalid window (only when nothing else is waiting). The GUI
// thread never blocks on the condition variable: it waits inside Qt's event dispatcher, which
// Wake() interrupts. Lock order: a queue's mutex may be held while the window table's is
// taken, never the other way round.
#pragma once

#include "platform/win32_user.h"

#include <atomic>
#include <bitset>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class ThreadQueue;

// Keyboard and mouse-button state at the time of an input message (Win32's per-thread input
// state: GetKeyState answers from the last input message the thread retrieved).
struct InputState {
    std::bitset<256> down;
    bool IsDown(int vk) const {
        return vk >= 0 && vk < 256 && down.test(static_cast<std::size_t>(vk));
    }
};

enum class QueuedKind {
    Posted,       // an ordinary posted or input message, returned to the program
    UserGeometry, // the desktop moved or sized a window; handled inside retrieval
};

struct QueuedMessage {
    MSG msg = {};
    QueuedKind kind = QueuedKind::Posted;
    bool hasInput = false;
    InputState input;
    std::wstring keyText; // WM_KEYDOWN: the characters the key produces
    RECT proposed = {};   // UserGeometry: the rectangle the desktop gave the window
};

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    std::atomic<bool> done{false};
    std::shared_ptr<ThreadQueue> sender;
};

class ThreadQueue {
public:
    explicit ThreadQueue(DWORD threadId, bool gui) : threadId(threadId), gui(gui) {}

    // Notifies the owning thread that something changed (it may be waiting).
    void Wake();

    const DWORD threadId;
    const bool gui;

    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t serial = 0;  // bumped by every change that may end a wait
    std::uint64_t checked = 0; // serial when the owning thread last looked at the queue
    std::deque<QueuedMessage> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::vector<HWND> invalid; // windows with a pending WM_PAINT, in invalidation order
    bool quit = false;
    int quitCode = 0;
    bool dead = false;

    // Touched only by the owning thread.
    InputState input;
    std::wstring lastKeyText;
    MSG lastKeyMessage = {};
    HWND focus = nullptr;
};

// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
// The queue of a thread, or null when it has none (or has ended).
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);

// Appends a message; consecutive WM_MOUSEMOVEs (and desktop moves) for one window coalesce.
// Returns false when the queue's thread has ended.
bool Enqueue(ThreadQueue& queue, QueuedMessage message);

// Marks a window as needing WM_PAINT on its owner's queue.
void QueuePaint(ThreadQueue& queue, HWND hwnd);
// Forgets everything queued for a window that is being destroyed.
void PurgeWindow(ThreadQueue& queue, HWND hwnd);

// Dispatches every message that other threads have sent to the calling thread.
void DispatchIncomingSent(ThreadQueue& queue);

// Blocks the calling (owning) thread until its queue changes after `seenSerial`, `finished`
// returns true, or the platform shuts down. On the GUI thread this processes Qt events.
void WaitForQueue(ThreadQueue& queue, std::uint64_t seenSerial,
                  const std::function<bool()>& finished);
// As WaitForQueue without a predicate, giving up at `deadline`; false when it gave up.
bool WaitForQueueUntil(ThreadQueue& queue, std::uint64_t seenSerial,
                       std::chrono::steady_clock::time_point deadline);

// Runs a Win32 modal loop: dispatches the calling thread's messages until `finished` returns
// true. A WM_QUIT taken meanwhile is posted again afterwards.
void RunModalLoop(const std::function<bool()>& finished);

// Shutdown: every wait returns, pending sends complete with 0, GetMessageW returns 0.
void ShutDownQueues();
bool IsShuttingDown();

} // namespace platform
