// The main window's prompts print and read through a window the worker owns and paints.
#include "text_fixture.h"

#include <string>
#include <thread>

namespace qivtest {
namespace {

using namespace platform::testing;

// Keys reach the worker's window through its queue, posted from a third thread once the line
// is being read, as the desktop would deliver them.
void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int CursorX(int n) {
    std::lock_guard lock(textwin::SlotLock(n));
    return qiv_text[n].cursorX;
}

void Type(HWND hwnd, const std::wstring& keys) {
    for (wchar_t key : keys) {
        PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(key), 0);
    }
}

TEST_F(TextWindowTest, MainThreadPrintsWhileTheWorkerPaintsAndResizes) {
    const HWND hwnd = Open(0, 400, 300);
    // The worker repaints and resizes meanwhile; each side holds the window's lock.
    StartOnWorker([hwnd] {
        for (int i = 0; i < 40; ++i) {
            SetWindowPos(hwnd, nullptr, 0, 0, 300 + (i % 3) * 20, 200, SWP_NOMOVE | SWP_NOZORDER);
            for (int k = 0; k < 5; ++k) {
                InvalidateRect(hwnd, nullptr, FALSE);
                UpdateWindow(hwnd);
                QIV_PumpMessages();
            }
        }
    });
    for (int i = 0; i < 300; ++i) {
        QIV_Printf("line %d \xE6\x97\xA5\xE6\x9C\xAC\n", i);
    }
    WaitFinished();
    const TextWindowRecord t = Record(0);
    EXPECT_EQ(t.cursorX, 0);
    EXPECT_LT(t.cursorY + t.cellHeight, t.height + t.cellHeight);
}

TEST_F(TextWindowTest, MainThreadReadsLinesTypedIntoTheWorkersWindow) {
    const HWND hwnd = Open(0, 400, 300);
    QIV_Printf(" Width=");
    char line[QIV_INPUT_BUFFER];
    std::thread typing([hwnd] {
        WaitUntil([] { return InputActive != 0; });
        Type(hwnd, L"640\r");
    });
    QIV_Input(line);
    typing.join();
    EXPECT_STREQ(line, "640");
    EXPECT_TRUE(SameBlock(Shown(0), 0, 0, Reference(L" Width=640", 400, 16), 0, 0, 400, 16));

    // The recall is sent to the worker's window and waits until the worker has taken it.
    typing = std::thread([hwnd] {
        WaitUntil([] { return InputActive != 0; });
        PostMessageW(hwnd, WM_KEYDOWN, VK_UP, 0);
        WaitUntil([] { return CursorX(0) == 24; });
        Type(hwnd, L"\b1\r");
    });
    QIV_Input(line);
    typing.join();
    EXPECT_STREQ(line, "641");
}

} // namespace
} // namespace qivtest
