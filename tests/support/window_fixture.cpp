#include "tests/support/window_fixture.h"

#include <map>
#include <string>

namespace qivtest {
namespace {

std::mutex behaviourMutex;
Behaviour currentBehaviour;

} // namespace

void MessageLog::Add(const LoggedMessage& m) {
    std::lock_guard lock(mutex);
    messages.push_back(m);
}

std::vector<LoggedMessage> MessageLog::All(HWND hwnd, UINT message) const {
    std::lock_guard lock(mutex);
    std::vector<LoggedMessage> result;
    for (const LoggedMessage& m : messages) {
        if ((!hwnd || m.hwnd == hwnd) && (!message || m.message == message)) {
            result.push_back(m);
        }
    }
    return result;
}

int MessageLog::Count(HWND hwnd, UINT message) const {
    return static_cast<int>(All(hwnd, message).size());
}

void MessageLog::Clear() {
    std::lock_guard lock(mutex);
    messages.clear();
}

MessageLog& Log() {
    static MessageLog log;
    return log;
}

void SetBehaviour(Behaviour behaviour) {
    std::lock_guard lock(behaviourMutex);
    currentBehaviour = std::move(behaviour);
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().Add({hwnd, message, wParam, lParam, GetCurrentThreadId(), GetKeyState(VK_CONTROL)});
    Behaviour behaviour;
    {
        std::lock_guard lock(behaviourMutex);
        behaviour = currentBehaviour;
    }
    LRESULT result = 0;
    if (behaviour && behaviour(hwnd, message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* RecordingClass(UINT style) {
    static std::mutex mutex;
    static std::map<UINT, std::wstring> names;
    std::lock_guard lock(mutex);
    auto it = names.find(style);
    if (it != names.end()) {
        return it->second.c_str();
    }
    std::wstring name = L"qiv_test_" + std::to_wstring(style);
    WNDCLASSW wc = {};
    wc.style = style;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name.c_str();
    RegisterClassW(&wc);
    return names.emplace(style, name).first->second.c_str();
}

Worker::Worker() : thread([this] { Loop(); }) {
    while (threadId == 0) {
        std::this_thread::yield();
    }
}

Worker::~Worker() {
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    // The worker may need the GUI thread to finish what it is doing.
    WaitIdle();
    thread.join();
}

void Worker::Loop() {
    threadId = GetCurrentThreadId();
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return stop || !tasks.empty(); });
            if (tasks.empty()) {
                return;
            }
            task = std::move(tasks.front());
            tasks.pop_front();
            busy = true;
        }
        task();
        {
            std::lock_guard lock(mutex);
            busy = false;
        }
        changed.notify_all();
    }
}

void Worker::Start(const std::function<void()>& task) {
    {
        std::lock_guard lock(mutex);
        tasks.push_back(task);
    }
    changed.notify_all();
}

bool Worker::WaitIdle(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (!busy && tasks.empty()) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        platform::testing::ProcessDesktopEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Worker::Call(const std::function<void()>& task, std::chrono::milliseconds limit) {
    Start(task);
    ASSERT_TRUE(WaitIdle(limit)) << "worker task did not finish in time";
}

int PumpAll() {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

void WindowTest::SetUp() {
    platform::testing::StartTestApplication();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    watchdog = std::make_unique<Watchdog>(
        std::chrono::seconds(20), std::string(info->test_suite_name()) + "." + info->name());
    Log().Clear();
    SetBehaviour(nullptr);
    platform::testing::InstallResponder();
}

void WindowTest::TearDown() {
    platform::testing::RemoveResponder();
    SetBehaviour(nullptr);
    platform::testing::ProcessDesktopEvents();
    watchdog.reset();
}

} // namespace qivtest
