#include "text_fixture.h"

#include "platform/user/text.h"

#include <chrono>
#include <mutex>

namespace qivtest {

namespace {

using namespace std::chrono_literals;

std::mutex recordMutex;
std::vector<std::string> statuses;
std::vector<WPARAM> mainKeys;
std::mutex taskMutex;

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        std::lock_guard lock(recordMutex);
        mainKeys.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The status line records every text it is given, without the centring spaces.
LRESULT CALLBACK StatusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && lParam != 0) {
        std::string text = platform::WideToUtf8(reinterpret_cast<const wchar_t*>(lParam));
        text.erase(0, text.find_first_not_of(' '));
        text.erase(text.find_last_not_of(' ') + 1);
        std::lock_guard lock(recordMutex);
        statuses.push_back(text);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void StartDesktopOnce() {
    platform::testing::StartTestApplication();
    static bool started = false;
    if (started) {
        return;
    }
    started = true;
    ScreenBitsPerPixel = 32;
    ASSERT_EQ(RegisterFrameworkClasses(nullptr), FRAMEWORK_CLASS_COUNT); // as start-up does
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainProc;
    wc.lpszClassName = L"qiv_test_main";
    RegisterClassW(&wc);
    MainWindow = CreateWindowExW(0, L"qiv_test_main", L"QIVLIB", WS_CAPTION | WS_VISIBLE, 400, 900,
                                 246, 60, nullptr, nullptr, nullptr, nullptr);
    wc.lpfnWndProc = StatusProc;
    wc.lpszClassName = L"qiv_test_status";
    RegisterClassW(&wc);
    StatusLine = CreateWindowExW(0, L"qiv_test_status", L"", WS_CHILD | WS_VISIBLE, 0, 0, 240, 16,
                                 MainWindow, nullptr, nullptr, nullptr);
}

} // namespace

std::vector<std::string> StatusHistory() {
    std::lock_guard lock(recordMutex);
    return statuses;
}

std::vector<WPARAM> MainWindowKeys() {
    std::lock_guard lock(recordMutex);
    return mainKeys;
}

void TextWindowTest::SetUp() {
    StartDesktopOnce();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    watchdog =
        std::make_unique<Watchdog>(30s, std::string(info->test_suite_name()) + "." + info->name());
    {
        std::lock_guard lock(recordMutex);
        statuses.clear();
        mainKeys.clear();
    }
    ExitState = 0;
    InputActive = 0;
    InputRequest = 0;
    KeyRingClear();
    ResetTextWindowTable();
    worker = std::thread([this] { Loop(); });
}

void TextWindowTest::TearDown() {
    InputActive = 0; // an input still running is abandoned
    WaitFinished();
    OnWorker([] {
        for (int n = 0; n < QIV_TEXT_WINDOWS; ++n) {
            QIV_CloseTextWindow(n);
        }
    });
    stop = true;
    worker.join();
    PumpMainMessages();
    watchdog.reset();
}

void TextWindowTest::Loop() {
    while (!stop) {
        std::this_thread::sleep_for(1ms);
        QIV_PumpMessages();
        std::function<void()> next;
        {
            std::lock_guard lock(taskMutex);
            next = std::move(task);
            task = nullptr;
        }
        if (next) {
            next();
            pending--;
        }
    }
}

void TextWindowTest::StartOnWorker(const std::function<void()>& next) {
    WaitFinished();
    pending++;
    std::lock_guard lock(taskMutex);
    task = next;
}

void TextWindowTest::WaitFinished() {
    // The worker may need the GUI thread (window creation, bringing windows forward).
    ASSERT_TRUE(platform::testing::PumpUntil([this] { return pending == 0; }, 10s))
        << "the worker's task did not finish";
}

void TextWindowTest::OnWorker(const std::function<void()>& next) {
    StartOnWorker(next);
    WaitFinished();
}

HWND TextWindowTest::Open(int n, int width, int height) {
    int result = -1;
    OnWorker([&] { result = QIV_OpenTextWindow(n, 100, 100, width, height); });
    EXPECT_EQ(result, 0);
    return Record(n).hwnd;
}

void TextWindowTest::Print(const char* text) {
    OnWorker([text] { QIV_Printf("%s", text); });
}

TextWindowRecord TextWindowTest::Record(int n) {
    std::lock_guard lock(textwin::SlotLock(n));
    return qiv_text[n];
}

platform::testing::Capture TextWindowTest::Shown(int n) {
    const HWND hwnd = Record(n).hwnd;
    OnWorker([hwnd] { UpdateWindow(hwnd); });
    platform::testing::Capture capture;
    EXPECT_TRUE(platform::testing::CaptureClientSurface(hwnd, &capture));
    return capture;
}

void TextWindowTest::StartInput(char* line) {
    StartOnWorker([line] { QIV_Input(line); });
    ASSERT_TRUE(platform::testing::PumpUntil([] { return InputActive != 0; }));
}

void TextWindowTest::WaitCursor(int n, int x, int y) {
    const bool there = platform::testing::PumpUntil([&] {
        const TextWindowRecord t = Record(n);
        return t.cursorX == x && t.cursorY == y;
    });
    const TextWindowRecord t = Record(n);
    ASSERT_TRUE(there) << "cursor at (" << t.cursorX << ", " << t.cursorY << "), expected (" << x
                       << ", " << y << ")";
}

platform::testing::Capture Reference(const std::wstring& text, int width, int height, int textColor,
                                     int backColor) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SelectObject(dc, GetStockObject(OEM_FIXED_FONT));
    const RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(dc, textwin::GdiColor(textColor));
    SetBkColor(dc, textwin::GdiColor(backColor));
    TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    platform::testing::Capture capture;
    capture.width = width;
    capture.height = height;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        capture.pixels.push_back(pixels[i] & 0xFFFFFF);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return capture;
}

bool SameBlock(const platform::testing::Capture& a, int ax, int ay,
               const platform::testing::Capture& b, int bx, int by, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (a.At(ax + x, ay + y) != b.At(bx + x, by + y)) {
                return false;
            }
        }
    }
    return true;
}

bool AllOf(const platform::testing::Capture& c, int x, int y, int width, int height,
           std::uint32_t colour) {
    for (int j = y; j < y + height; ++j) {
        for (int i = x; i < x + width; ++i) {
            if (c.At(i, j) != colour) {
                return false;
            }
        }
    }
    return true;
}

} // namespace qivtest
