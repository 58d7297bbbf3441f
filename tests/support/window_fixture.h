// Shared pieces of the windowing tests: a fixture on the offscreen desktop with a deadline,
// a worker thread that runs tasks on request, and a window procedure that records messages.
#pragma once

#include "platform/testing.h"
#include "platform/win32.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qivtest {

struct LoggedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
    SHORT control; // GetKeyState(VK_CONTROL) while the message was handled
};

// Every message the recording procedure sees, in order.
class MessageLog {
public:
    void Add(const LoggedMessage& m);
    std::vector<LoggedMessage> All(HWND hwnd = nullptr, UINT message = 0) const;
    int Count(HWND hwnd, UINT message) const;
    void Clear();

private:
    mutable std::mutex mutex;
    std::vector<LoggedMessage> messages;
};

MessageLog& Log();

// Optional behaviour of the recording procedure for one test; returns true when it handled
// the message (its result in *result).
using Behaviour = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;
void SetBehaviour(Behaviour behaviour);

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once per process) a class using RecordingProc.
const wchar_t* RecordingClass(UINT style = 0);

// A thread that runs the tasks it is given, and pumps its messages only inside tasks that do.
class Worker {
public:
    Worker();
    ~Worker();
    // Runs task on the worker and waits, processing desktop events meanwhile (the worker may
    // need the GUI thread). Fails the test if it takes longer than the limit.
    void Call(const std::function<void()>& task,
              std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Starts a task without waiting for it.
    void Start(const std::function<void()>& task);
    // Waits (processing desktop events) until no task runs.
    bool WaitIdle(std::chrono::milliseconds limit = std::chrono::seconds(5));
    DWORD ThreadId() const { return threadId; }

private:
    void Loop();
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> tasks;
    bool busy = false;
    bool stop = false;
    std::atomic<DWORD> threadId{0};
    std::thread thread;
};

// Dispatches everything waiting in the calling thread's queue; returns how many.
int PumpAll();

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<Watchdog> watchdog;
};

} // namespace qivtest
