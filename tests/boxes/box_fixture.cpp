#include "box_fixture.h"

#include "boxes/box_dialogs.h"
#include "textwin/key_ring.h"
#include "textwin/text_commands.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace boxtest {

void PumpBoxes() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || IsBoxDialogMessage(&msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpBoxesUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        PumpBoxes();
        platform::testing::ProcessDesktopEvents();
    }
    return true;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

RECT ChildRect(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    POINT topLeft = {r.left, r.top};
    POINT bottomRight = {r.right, r.bottom};
    ScreenToClient(GetParent(child), &topLeft);
    ScreenToClient(GetParent(child), &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

SIZE ClientSize(HWND hwnd) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

void BoxTest::SetUp() {
    WindowTest::SetUp();
    static const int registered = RegisterFrameworkClasses(nullptr); // as start-up does
    ASSERT_EQ(registered, FRAMEWORK_CLASS_COUNT);
    // Low enough that the desktop paints it in one piece (see worker_boxes_test.cpp).
    MainWindow = CreateWindowExW(0, qivtest::RecordingClass(), L"main", WS_VISIBLE | WS_CAPTION,
                                 900, 10, 200, 60, nullptr, nullptr, nullptr, nullptr);
    // The widths and sizes live for the whole run; every test starts from program start.
    qiv_inputBox = InputBoxState();
    qiv_buttonBox = ButtonBoxState();
    PumpBoxes();
    qivtest::Log().Clear();
}

void BoxTest::TearDown() {
    if (typist.joinable()) {
        stopTyping = true;
        typist.join();
    }
    QIV_CloseTextWindow(0);
    logFolder.reset();
    QIV_DestroyInputBox();
    QIV_DestroyButtonBox();
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    PumpBoxes();
    WindowTest::TearDown();
}

void BoxTest::Answer(std::vector<std::wstring> answers, bool log) {
    if (log && !logFolder) {
        logFolder = std::make_unique<TempFolder>();
        std::snprintf(qiv_logDir, QIV_PATH_BYTES, "%s/", logFolder->path.c_str());
        ASSERT_EQ(QIV_OpenTextWindow(0, 0, 600, 400, 100), 0);
        ASSERT_EQ(QIV_StartLog(0), 0);
    }
    if (typist.joinable()) {
        typist.join();
    }
    stopTyping = false;
    unanswered = static_cast<int>(answers.size());
    typist = std::thread([this, answers] {
        for (const std::wstring& answer : answers) {
            while (InputActive == 0) {
                if (stopTyping) {
                    return;
                }
                std::this_thread::yield();
            }
            for (wchar_t c : answer + L"\r") {
                PostMessageW(TextWindowHandle(0), WM_CHAR, c, 0);
            }
            // Entered once it is the last line: a level the next prompt cannot hide.
            wchar_t last[QIV_INPUT_CHARS + 1] = {};
            do {
                if (stopTyping) {
                    return;
                }
                std::this_thread::yield();
                GetLastInputLine(last);
            } while (answer != last);
            --unanswered;
        }
    });
}

std::string BoxTest::Printed() {
    QIV_CloseLogs(); // written out; the next line starts a new log
    std::ifstream file(LogFileName(0));
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    QIV_StartLog(0);
    return text;
}

void BoxTest::Press(HWND fallback, int vk, unsigned modifiers) {
    HWND focus = GetFocus();
    platform::testing::KeyPress(focus ? focus : fallback, vk, modifiers);
    PumpBoxes();
}

} // namespace boxtest
