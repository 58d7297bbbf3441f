// The thread and queue model: ownership, retrieval order, coalescing, sends across threads,
// stale handles and quitting.
#include "tests/support/window_fixture.h"

using namespace qivtest;
using namespace platform::testing;

namespace {

constexpr UINT WM_TEST = WM_USER + 1;
constexpr UINT WM_TEST2 = WM_USER + 2;

HWND CreateTestWindow(const wchar_t* title = L"test", DWORD style = WS_OVERLAPPEDWINDOW,
                      HWND owner = nullptr, UINT classStyle = 0) {
    return CreateWindowExW(0, RecordingClass(classStyle), title, style, 100, 100, 200, 150, owner,
                           nullptr, nullptr, nullptr);
}

class QueueTest : public WindowTest {};

TEST_F(QueueTest, WindowMessagesWaitForTheOwningThreadToPump) {
    Worker worker;
    HWND hwnd = nullptr;
    worker.Call([&] { hwnd = CreateTestWindow(); });
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), worker.ThreadId());

    // WM_CREATE ran inside CreateWindowExW on the creating thread.
    auto creates = Log().All(hwnd, WM_CREATE);
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_EQ(creates[0].thread, worker.ThreadId());

    Log().Clear();
    ASSERT_TRUE(PostMessageW(hwnd, WM_TEST, 7, 8));
    Click(hwnd, Button::Left, 10, 10);
    // Pumping the main thread delivers nothing: the messages belong to the worker.
    ProcessDesktopEvents();
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_TEST), 0);
    EXPECT_EQ(Log().Count(hwnd, WM_LBUTTONDOWN), 0);

    worker.Call([] { PumpAll(); });
    auto tests = Log().All(hwnd, WM_TEST);
    ASSERT_EQ(tests.size(), 1u);
    EXPECT_EQ(tests[0].thread, worker.ThreadId());
    EXPECT_EQ(tests[0].wParam, 7u);
    ASSERT_EQ(Log().Count(hwnd, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Log().All(hwnd, WM_LBUTTONDOWN)[0].thread, worker.ThreadId());
    worker.Call([&] { DestroyWindow(hwnd); });
}

TEST_F(QueueTest, GetMessageReturnsZeroAfterPostQuitMessage) {
    Worker worker;
    BOOL first = -1;
    BOOL second = -1;
    MSG a{};
    MSG b{};
    worker.Call([&] {
        PostMessageW(nullptr, WM_TEST, 1, 0);
        PostQuitMessage(42);
        first = GetMessageW(&a, nullptr, 0, 0);
        second = GetMessageW(&b, nullptr, 0, 0);
    });
    // The posted message comes first; WM_QUIT only once the queue holds nothing else.
    EXPECT_EQ(first, TRUE);
    EXPECT_EQ(a.message, static_cast<UINT>(WM_TEST));
    EXPECT_EQ(second, FALSE);
    EXPECT_EQ(b.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(b.wParam, 42u);
}

TEST_F(QueueTest, GetMessageBlocksUntilAnotherThreadPosts) {
    Worker worker;
    HWND hwnd = nullptr;
    worker.Call([&] { hwnd = CreateTestWindow(); });
    std::atomic<UINT> got{0};
    worker.Start([&] {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_TEST) {
                got = msg.message;
                break;
            }
            DispatchMessageW(&msg);
        }
    });
    PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(got.load(), 0u);
    PostMessageW(hwnd, WM_TEST, 0, 0);
    EXPECT_TRUE(worker.WaitIdle());
    EXPECT_EQ(got.load(), static_cast<UINT>(WM_TEST));
    worker.Call([&] { DestroyWindow(hwnd); });
}

// The waits of the framework's loops: a message the thread has already looked at does not end
// the wait, a new one (here posted to the thread itself) does, on a plain thread and on the GUI
// thread alike.
TEST_F(QueueTest, MsgWaitEndsOnNewMessagesOnlyOrOnTimeout) {
    Worker worker;
    worker.Call([] { PumpAll(); });
    DWORD seenOnly = 0;
    worker.Call([&] {
        PostMessageW(nullptr, WM_TEST, 0, 0);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        seenOnly = MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpAll();
    });
    EXPECT_EQ(seenOnly, WAIT_TIMEOUT);

    std::atomic<DWORD> woken{WAIT_FAILED};
    std::atomic<UINT> got{0};
    worker.Start([&] {
        woken = MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            got = msg.message;
        }
    });
    ASSERT_TRUE(PostThreadMessageW(worker.ThreadId(), WM_TEST2, 0, 0));
    ASSERT_TRUE(worker.WaitIdle());
    EXPECT_EQ(woken.load(), WAIT_OBJECT_0);
    EXPECT_EQ(got.load(), static_cast<UINT>(WM_TEST2));

    PumpAll();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT), WAIT_TIMEOUT);
    const DWORD self = GetCurrentThreadId();
    worker.Call([&] { PostThreadMessageW(self, WM_TEST, 0, 0); });
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_GE(PumpAll(), 1);
}

TEST_F(QueueTest, PaintIsSynthesisedOnceAndOnlyWhenNothingElseWaits) {
    HWND hwnd = CreateTestWindow(L"paint", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    PumpAll();
    Log().Clear();
    RECT a = {0, 0, 10, 10};
    RECT b = {50, 40, 60, 70};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    PostMessageW(hwnd, WM_TEST, 0, 0);

    RECT update{};
    SetBehaviour([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (h == hwnd && m == WM_PAINT) {
            GetUpdateRect(h, &update, FALSE);
        }
        return false; // DefWindowProcW validates
    });
    PumpAll();
    auto all = Log().All(hwnd);
    ASSERT_EQ(Log().Count(hwnd, WM_PAINT), 1);
    // The posted message was dispatched before the paint.
    std::size_t testAt = 0;
    std::size_t paintAt = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].message == WM_TEST) {
            testAt = i;
        }
        if (all[i].message == WM_PAINT) {
            paintAt = i;
        }
    }
    EXPECT_LT(testAt, paintAt);
    // One paint covers both invalid rectangles.
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.top, 0);
    EXPECT_EQ(update.right, 60);
    EXPECT_EQ(update.bottom, 70);
    // Validated: nothing more to paint.
    Log().Clear();
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_PAINT), 0);
    DestroyWindow(hwnd);
}

TEST_F(QueueTest, UnvalidatedPaintComesBackAndValidateRectStopsIt) {
    HWND hwnd = CreateTestWindow(L"paint", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    PumpAll();
    int paints = 0;
    SetBehaviour([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT* result) {
        if (h == hwnd && m == WM_PAINT) {
            if (++paints == 2) {
                ValidateRect(h, nullptr);
            }
            *result = 0;
            return true;
        }
        return false;
    });
    InvalidateRect(hwnd, nullptr, FALSE);
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        if (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
    EXPECT_EQ(paints, 2);
    DestroyWindow(hwnd);
}

TEST_F(QueueTest, HiddenWindowsGetNoPaintUntilShown) {
    HWND hwnd = CreateTestWindow(L"hidden", WS_OVERLAPPEDWINDOW);
    PumpAll();
    Log().Clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_PAINT), 0);
    ShowWindow(hwnd, SW_SHOW);
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_PAINT), 1);
    DestroyWindow(hwnd);
}

TEST_F(QueueTest, ConsecutiveMouseMovesCoalesceIntoTheLatest) {
    HWND hwnd = CreateTestWindow(L"moves", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    PumpAll();
    Log().Clear();
    MouseMove(hwnd, 1, 1);
    MouseMove(hwnd, 2, 2);
    MouseMove(hwnd, 3, 4);
    Click(hwnd, Button::Left, 3, 4);
    MouseMove(hwnd, 5, 6);
    MouseMove(hwnd, 7, 8);
    PumpAll();
    auto moves = Log().All(hwnd, WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 3);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 4);
    EXPECT_EQ(GET_X_LPARAM(moves[1].lParam), 7);
    EXPECT_EQ(GET_Y_LPARAM(moves[1].lParam), 8);
    EXPECT_EQ(Log().Count(hwnd, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Log().Count(hwnd, WM_LBUTTONUP), 1);
    DestroyWindow(hwnd);
}

TEST_F(QueueTest, PeekWithoutRemovingLeavesTheMessage) {
    HWND hwnd = CreateTestWindow();
    PumpAll();
    PostMessageW(hwnd, WM_TEST, 5, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TEST));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_TEST, WM_TEST, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TEST, WM_TEST, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST_F(QueueTest, SendMessageCrossesThreadsBothWaysWithoutDeadlock) {
    Worker worker;
    HWND workerWindow = nullptr;
    HWND mainWindow = CreateTestWindow(L"main");
    worker.Call([&] { workerWindow = CreateTestWindow(L"worker"); });

    // The worker's procedure, while handling a send from the main thread, sends back to the
    // main thread's window: the main thread answers while it waits.
    SetBehaviour([&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT* result) {
        if (h == workerWindow && m == WM_TEST) {
            *result = SendMessageW(mainWindow, WM_TEST2, w + 1, 0) + 100;
            return true;
        }
        if (h == mainWindow && m == WM_TEST2) {
            *result = static_cast<LRESULT>(w * 2);
            return true;
        }
        return false;
    });
    std::atomic<bool> stop{false};
    worker.Start([&] {
        while (!stop) {
            PumpAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    LRESULT result = SendMessageW(workerWindow, WM_TEST, 20, 0);
    EXPECT_EQ(result, 142); // (20 + 1) * 2 + 100
    auto handled = Log().All(workerWindow, WM_TEST);
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].thread, worker.ThreadId());
    auto back = Log().All(mainWindow, WM_TEST2);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].thread, GetCurrentThreadId());
    stop = true;
    ASSERT_TRUE(worker.WaitIdle());

    // And from the worker to the main thread's window, while the main thread pumps.
    std::atomic<LRESULT> fromWorker{0};
    worker.Start([&] { fromWorker = SendMessageW(mainWindow, WM_TEST2, 4, 0); });
    EXPECT_TRUE(PumpUntil([&] { return fromWorker == 8; }));
    EXPECT_TRUE(worker.WaitIdle());
    worker.Call([&] { DestroyWindow(workerWindow); });
    DestroyWindow(mainWindow);
}

TEST_F(QueueTest, StaleHandlesAreRejectedAndTheirMessagesDropped) {
    HWND hwnd = CreateTestWindow();
    PumpAll();
    PostMessageW(hwnd, WM_TEST, 0, 0);
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(Log().Count(hwnd, WM_DESTROY), 1);
    EXPECT_EQ(Log().Count(hwnd, WM_NCDESTROY), 1);
    Log().Clear();
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_TEST), 0);

    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessageW(hwnd, WM_TEST, 0, 0));
    EXPECT_EQ(SendMessageW(hwnd, WM_TEST, 0, 0), 0);
    RECT r{};
    EXPECT_FALSE(GetWindowRect(hwnd, &r));
    EXPECT_FALSE(DestroyWindow(hwnd));
    // The slot is reused by the next window under a new handle.
    HWND next = CreateTestWindow();
    EXPECT_NE(next, hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(IsWindow(next));
    // Made-up handles are rejected too.
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(0x12345678)));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(-1)));
    DestroyWindow(next);
}

TEST_F(QueueTest, OnlyTheOwningThreadDestroysAWindow) {
    Worker worker;
    HWND hwnd = nullptr;
    worker.Call([&] { hwnd = CreateTestWindow(); });
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
    worker.Call([&] { EXPECT_TRUE(DestroyWindow(hwnd)); });
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(QueueTest, EndingThreadTakesItsWindowsAndReleasesSenders) {
    std::atomic<HWND> created{nullptr};
    std::atomic<bool> sendArrived{false};
    std::thread owner([&] {
        HWND window = CreateTestWindow(L"short-lived");
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // all that came so far is seen
        created = window;
        // Ends without pumping once the send waits in its queue: the sender must not wait for
        // ever.
        sendArrived =
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0;
    });
    ASSERT_TRUE(PumpUntil([&] { return created.load() != nullptr; }));
    HWND hwnd = created;
    LRESULT result = -1;
    std::thread sender([&] { result = SendMessageW(hwnd, WM_TEST, 0, 0); });
    while (!PumpUntil([&] { return !IsWindow(hwnd); }, std::chrono::milliseconds(100))) {
    }
    owner.join();
    sender.join();
    EXPECT_TRUE(sendArrived);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Log().Count(hwnd, WM_TEST), 0);
}

TEST_F(QueueTest, DestroyingAnOwnerDestroysItsOwnedWindowsFirst) {
    HWND owner = CreateTestWindow(L"owner");
    HWND owned = CreateTestWindow(L"owned", WS_OVERLAPPEDWINDOW, owner);
    HWND child = CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, owner,
                                 reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_TRUE(IsWindow(child));
    EXPECT_EQ(GetParent(owned), owner);
    EXPECT_EQ(GetParent(child), owner);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    Log().Clear();
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_FALSE(IsWindow(child));
    auto destroys = Log().All(nullptr, WM_DESTROY);
    ASSERT_EQ(destroys.size(), 2u);
    EXPECT_EQ(destroys[0].hwnd, owned);
    EXPECT_EQ(destroys[1].hwnd, owner);
}

} // namespace
