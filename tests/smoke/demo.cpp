// A small program on the windowing layer: a main window with a menu bar and a status line on
// the main thread, and a window owned by it on a second thread that pumps its own messages.
// It reports what its windows receive on standard output, so that the smoke test can check
// the real desktop's behaviour.
//
//   qiv_demo [--exit-after-ms N]
#include "platform/win32.h"
#include "platform/window_surface.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr UINT ID_START = 1001;
constexpr UINT ID_EXIT = 1002;

HWND mainWindow = nullptr;
HWND statusLine = nullptr;
std::atomic<bool> exitRequested{false};
std::thread worker;

void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

// Paints a colour ramp straight into the client surface.
void PaintRamp(HWND hwnd) {
    platform::WindowSurface s;
    if (!platform::LockWindowSurface(hwnd, &s)) {
        return;
    }
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            std::uint32_t r = s.width > 1 ? 255u * x / (s.width - 1) : 0;
            std::uint32_t g = s.height > 1 ? 255u * y / (s.height - 1) : 0;
            s.pixels[y * s.stride + x] = (r << 16) | (g << 8) | 0x80;
        }
    }
    platform::UnlockWindowSurface(hwnd, nullptr);
}

// The worker's window snaps its position to multiples of 10 and refuses to change size.
LRESULT CALLBACK WorkerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        PaintRamp(hwnd);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_MOVING: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        Report("worker WM_MOVING %d %d %d %d", r->left, r->top, r->right, r->bottom);
        int dx = r->left / 10 * 10 - r->left;
        int dy = r->top / 10 * 10 - r->top;
        r->left += dx;
        r->right += dx;
        r->top += dy;
        r->bottom += dy;
        return TRUE;
    }
    case WM_SIZING: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        Report("worker WM_SIZING %u %d %d %d %d", static_cast<unsigned>(wParam), r->left, r->top,
               r->right, r->bottom);
        GetWindowRect(hwnd, r);
        return TRUE;
    }
    case WM_MOVE: {
        RECT r;
        GetWindowRect(hwnd, &r);
        Report("worker at %d %d %d %d", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    case WM_CLOSE:
        return 0; // closed with the program
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void WorkerMain(int exitAfterMs) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WorkerProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = L"qiv_demo_worker";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"qiv_demo_worker", L"QIV demo worker",
                                WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 400, 300, 320,
                                240, mainWindow, nullptr, nullptr, nullptr);
    Report("worker window %s", hwnd ? "created" : "failed");
    auto start = std::chrono::steady_clock::now();
    bool exitPosted = false;
    // The framework's idle loop: sleep, pump, check the flags.
    while (!exitRequested) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        auto elapsed = std::chrono::steady_clock::now() - start;
        if (exitAfterMs > 0 && !exitPosted && elapsed > std::chrono::milliseconds(exitAfterMs)) {
            PostMessageW(mainWindow, WM_COMMAND, ID_EXIT, 0);
            exitPosted = true;
        }
    }
    DestroyWindow(hwnd);
    Report("worker finished");
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        statusLine = CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, 0, 6, 234, 20,
                                     hwnd, reinterpret_cast<HMENU>(2001), nullptr, nullptr);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_START) {
            SetWindowTextW(statusLine, L"Started");
            Report("main Start");
        } else if (LOWORD(wParam) == ID_EXIT) {
            Report("main Exit");
            exitRequested = true;
            if (worker.joinable()) {
                // Pump while waiting: the worker may need this thread to close its window.
                while (true) {
                    MSG msg;
                    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        DispatchMessageW(&msg);
                    }
                    if (!IsWindow(FindWindowW(L"qiv_demo_worker", nullptr))) {
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                worker.join();
            }
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'X' || wParam == VK_ESCAPE) {
            PostMessageW(hwnd, WM_COMMAND, ID_EXIT, 0);
        }
        return 0;
    case WM_CLOSE:
        PostMessageW(hwnd, WM_COMMAND, ID_EXIT, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    int exitAfterMs = 0;
    if (const char* option = std::strstr(commandLine, "--exit-after-ms ")) {
        exitAfterMs = std::atoi(option + std::strlen("--exit-after-ms "));
    }
    WNDCLASSW wc = {};
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = L"qiv_demo_main";
    if (!RegisterClassW(&wc)) {
        return 1;
    }
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, ID_START, L"Start(&S)");
    AppendMenuW(menu, MF_STRING, ID_EXIT, L"Exit(&X)");
    RECT r = {0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
    DWORD style = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;
    AdjustWindowRect(&r, style, FALSE);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
    int y = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION) - height;
    mainWindow = CreateWindowExW(0, L"qiv_demo_main", L"QIV demo main", style, x, y, width, height,
                                 nullptr, menu, instance, nullptr);
    if (!mainWindow) {
        return 1;
    }
    Report("main window created %dx%d at %d,%d", width, height, x, y);
    worker = std::thread(WorkerMain, exitAfterMs);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyMenu(menu);
    Report("main finished %d", static_cast<int>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
