// Retrieving, posting, sending and dispatching messages.
#include "platform/user/backend.h"
#include "platform/user/desktop_state.h"
#include "platform/user/events.h"
#include "platform/user/internal.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_table.h"

#include <chrono>

namespace platform {
namespace {

DWORD MessageTime() {
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return message >= filterMin && message <= filterMax;
}

// HWND -1 as a filter means "messages posted to the thread itself".
bool MatchesWindow(HWND filter, HWND hwnd) {
    if (filter == nullptr) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(-1)) {
        return hwnd == nullptr;
    }
    return filter == hwnd;
}

bool IsLiveWindow(HWND hwnd) {
    auto lock = LockWindowTable();
    return FindWindowRecord(hwnd) != nullptr;
}

enum class Found { Nothing, Message, Internal };

// One pass over the queue in Win32's order. Internal entries (desktop moves) are handled here
// and reported as Internal so that the caller looks again.
Found TakeOnce(ThreadQueue& queue, MSG* out, HWND filter, UINT filterMin, UINT filterMax,
               bool remove) {
    DispatchIncomingSent(queue);
    QueuedMessage taken;
    bool haveTaken = false;
    bool internal = false;
    std::vector<MSG> dropped;
    {
        std::lock_guard lock(queue.mutex);
        for (auto it = queue.posted.begin(); it != queue.posted.end();) {
            if (!MatchesWindow(filter, it->msg.hwnd)) {
                ++it;
                continue;
            }
            // A message for a window destroyed after it was queued is dropped quietly.
            if (it->msg.hwnd != nullptr && !IsLiveWindow(it->msg.hwnd)) {
                dropped.push_back(it->msg);
                it = queue.posted.erase(it);
                continue;
            }
            if (it->kind == QueuedKind::UserGeometry) {
                taken = std::move(*it);
                queue.posted.erase(it);
                haveTaken = true;
                internal = true;
                break;
            }
            if (!InRange(it->msg.message, filterMin, filterMax)) {
                ++it;
                continue;
            }
            if (remove) {
                taken = std::move(*it);
                queue.posted.erase(it);
            } else {
                taken = *it;
            }
            haveTaken = true;
            break;
        }
    }
    for (const MSG& msg : dropped) {
        ReleaseMessageResources(msg);
    }
    if (haveTaken) {
        if (internal) {
            queue.input = taken.input;
            HandleUserGeometry(taken.msg.hwnd, taken.proposed);
            return Found::Internal;
        }
        if (remove && taken.hasInput) {
            queue.input = taken.input;
            if (taken.msg.message == WM_KEYDOWN || taken.msg.message == WM_SYSKEYDOWN) {
                queue.lastKeyText = taken.keyText;
                queue.lastKeyMessage = taken.msg;
            }
        }
        *out = taken.msg;
        return Found::Message;
    }
    {
        std::lock_guard lock(queue.mutex);
        if (queue.quit && InRange(WM_QUIT, filterMin, filterMax)) {
            *out = MSG{nullptr, WM_QUIT,       static_cast<WPARAM>(queue.quitCode),
                       0,       MessageTime(), GetLastCursorPos()};
            if (remove) {
                queue.quit = false;
            }
            return Found::Message;
        }
    }
    if (!InRange(WM_PAINT, filterMin, filterMax)) {
        return Found::Nothing;
    }
    std::vector<HWND> candidates;
    {
        std::lock_guard lock(queue.mutex);
        candidates = queue.invalid;
    }
    for (HWND hwnd : candidates) {
        if (!MatchesWindow(filter, hwnd)) {
            continue;
        }
        bool stillInvalid;
        {
            auto lock = LockWindowTable();
            WindowRecord* record = FindWindowRecord(hwnd);
            stillInvalid = record && record->invalid;
        }
        if (!stillInvalid) {
            std::lock_guard lock(queue.mutex);
            std::erase(queue.invalid, hwnd);
            continue;
        }
        *out = MSG{hwnd, WM_PAINT, 0, 0, MessageTime(), GetLastCursorPos()};
        return Found::Message;
    }
    return Found::Nothing;
}

bool Peek(ThreadQueue& queue, MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    if (queue.gui) {
        backend::ProcessGuiEvents(false);
    }
    {
        // Whatever is queued from here on is news to MsgWaitForMultipleObjects.
        std::lock_guard lock(queue.mutex);
        queue.checked = queue.serial;
    }
    for (;;) {
        Found found = TakeOnce(queue, msg, filter, filterMin, filterMax, remove);
        if (found == Found::Message) {
            return true;
        }
        if (found == Found::Nothing) {
            return false;
        }
    }
}

std::uint64_t SerialOf(ThreadQueue& queue) {
    std::lock_guard lock(queue.mutex);
    return queue.serial;
}

std::wstring TextOfVirtualKey(WPARAM vk, const InputState& input) {
    bool shift = input.IsDown(VK_SHIFT);
    bool control = input.IsDown(VK_CONTROL);
    if (vk >= 'A' && vk <= 'Z') {
        if (control) {
            return std::wstring(1, static_cast<wchar_t>(vk - 'A' + 1));
        }
        return std::wstring(1, static_cast<wchar_t>(shift ? vk : vk - 'A' + 'a'));
    }
    if (vk >= '0' && vk <= '9' && !shift && !control) {
        return std::wstring(1, static_cast<wchar_t>(vk));
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        return std::wstring(1, static_cast<wchar_t>('0' + (vk - VK_NUMPAD0)));
    }
    switch (vk) {
    case VK_SPACE:
        return L" ";
    case VK_RETURN:
        return L"\r";
    case VK_BACK:
        return L"\b";
    case VK_TAB:
        return L"\t";
    case VK_ESCAPE:
        return L"\x1b";
    case VK_ADD:
        return L"+";
    case VK_SUBTRACT:
        return L"-";
    case VK_MULTIPLY:
        return L"*";
    case VK_DIVIDE:
        return L"/";
    case VK_DECIMAL:
        return L".";
    default:
        return {};
    }
}

} // namespace

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = ProcOfWindow(hwnd);
    if (!proc) {
        return 0;
    }
    return proc(hwnd, message, wParam, lParam);
}

bool PostInputMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      const InputState& input, const std::wstring& keyText) {
    auto queue = QueueOfWindow(hwnd);
    if (!queue) {
        return false;
    }
    QueuedMessage entry;
    entry.msg = MSG{hwnd, message, wParam, lParam, MessageTime(), GetLastCursorPos()};
    entry.hasInput = true;
    entry.input = input;
    entry.keyText = keyText;
    return Enqueue(*queue, std::move(entry));
}

void PostUserGeometry(HWND hwnd, const RECT& frame, const InputState& input) {
    auto queue = QueueOfWindow(hwnd);
    if (!queue) {
        return;
    }
    QueuedMessage entry;
    entry.msg = MSG{hwnd, WM_NULL, 0, 0, MessageTime(), GetLastCursorPos()};
    entry.kind = QueuedKind::UserGeometry;
    entry.hasInput = true;
    entry.input = input;
    entry.proposed = frame;
    Enqueue(*queue, std::move(entry));
}

} // namespace platform

using namespace platform;

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg) {
        return FALSE;
    }
    auto queue = CurrentQueue();
    return Peek(*queue, msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0) ? TRUE
                                                                                       : FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) {
        return -1;
    }
    auto queue = CurrentQueue();
    for (;;) {
        if (IsShuttingDown()) {
            *msg = MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}};
            return FALSE;
        }
        std::uint64_t serial = SerialOf(*queue);
        if (Peek(*queue, msg, hwnd, filterMin, filterMax, true)) {
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        WaitForQueue(*queue, serial, nullptr);
    }
}

void PostQuitMessage(int exitCode) {
    auto queue = CurrentQueue();
    {
        std::lock_guard lock(queue->mutex);
        queue->quit = true;
        queue->quitCode = exitCode;
    }
    queue->Wake();
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue = hwnd ? QueueOfWindow(hwnd) : CurrentQueue();
    if (!queue) {
        return FALSE;
    }
    QueuedMessage entry;
    entry.msg = MSG{hwnd, message, wParam, lParam, MessageTime(), GetLastCursorPos()};
    return Enqueue(*queue, std::move(entry)) ? TRUE : FALSE;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue = QueueOfThread(threadId);
    if (!queue) {
        return FALSE;
    }
    QueuedMessage entry;
    entry.msg = MSG{nullptr, message, wParam, lParam, MessageTime(), GetLastCursorPos()};
    return Enqueue(*queue, std::move(entry)) ? TRUE : FALSE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
    if (count != 0) {
        return WAIT_FAILED;
    }
    auto queue = CurrentQueue();
    std::uint64_t seen;
    {
        std::lock_guard lock(queue->mutex);
        seen = queue->checked;
    }
    if (milliseconds == INFINITE) {
        WaitForQueue(*queue, seen, nullptr);
        return WAIT_OBJECT_0;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    return WaitForQueueUntil(*queue, seen, deadline) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> target = QueueOfWindow(hwnd);
    if (!target) {
        return 0;
    }
    auto self = CurrentQueue();
    if (target == self) {
        return CallWindowProcedure(hwnd, message, wParam, lParam);
    }
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    {
        std::lock_guard lock(target->mutex);
        if (target->dead || IsShuttingDown()) {
            return 0;
        }
        target->sent.push_back(sent);
    }
    target->Wake();
    // While waiting, this thread still answers messages sent to it (so two threads sending to
    // each other do not deadlock), and the GUI thread keeps processing Qt events.
    auto finished = [&] { return sent->done.load(); };
    while (!sent->done && !IsShuttingDown()) {
        std::uint64_t serial = SerialOf(*self);
        DispatchIncomingSent(*self);
        if (sent->done) {
            break;
        }
        WaitForQueue(*self, serial, finished);
    }
    return sent->done ? sent->result : 0;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    auto queue = CurrentQueue();
    const MSG& last = queue->lastKeyMessage;
    bool fromDesktop = last.hwnd == msg->hwnd && last.message == msg->message &&
                       last.wParam == msg->wParam && last.time == msg->time &&
                       last.lParam == msg->lParam;
    std::wstring text =
        fromDesktop ? queue->lastKeyText : TextOfVirtualKey(msg->wParam, queue->input);
    if (text.empty()) {
        return FALSE;
    }
    UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    {
        std::lock_guard lock(queue->mutex);
        // The characters come before any input queued behind the key, as in Win32 where they
        // land in the posted-message queue.
        for (auto it = text.rbegin(); it != text.rend(); ++it) {
            QueuedMessage entry;
            entry.msg = MSG{msg->hwnd,   charMessage, static_cast<WPARAM>(*it),
                            msg->lParam, msg->time,   msg->pt};
            entry.hasInput = true;
            entry.input = queue->input;
            queue->posted.push_front(std::move(entry));
        }
        ++queue->serial;
    }
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) {
        return 0;
    }
    if (!IsOwnedByCurrentThread(msg->hwnd)) {
        return 0;
    }
    return CallWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
