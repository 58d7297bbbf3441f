// Placeholder start-up until the runtime lands: a main window with Start and Exit, and a
// worker thread that runs the user program, pumping its own messages while idle.
#include "runtime/qivlib.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace {

constexpr UINT ID_START = 1001;
constexpr UINT ID_EXIT = 1002;

std::atomic<bool> startRequested{false};
std::atomic<bool> exitRequested{false};
std::thread worker;

void WorkerMain() {
    UserInit();
    while (!exitRequested) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (startRequested.exchange(false)) {
            UserMain();
        }
    }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, 0, 6, 234, 20, hwnd,
                        reinterpret_cast<HMENU>(2001), nullptr, nullptr);
        worker = std::thread(WorkerMain);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_START) {
            startRequested = true;
        } else if (LOWORD(wParam) == ID_EXIT) {
            exitRequested = true;
            if (worker.joinable()) {
                worker.join();
            }
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'X' || wParam == VK_ESCAPE) {
            PostMessageW(hwnd, WM_COMMAND, ID_EXIT, 0);
        } else if (wParam == 'S') {
            PostMessageW(hwnd, WM_COMMAND, ID_START, 0);
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc = {};
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = L"qivlib_mw0";
    if (!RegisterClassW(&wc)) {
        return 1;
    }
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, ID_START, L"Start(&S)");
    AppendMenuW(menu, MF_STRING, ID_EXIT, L"Exit(&X)");
    DWORD style = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;
    RECT r = {0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
    AdjustWindowRect(&r, style, FALSE);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
    int y = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION) - height;
    HWND hwnd = CreateWindowExW(0, L"qivlib_mw0", L"QIVLIB", style, x, y, width, height, nullptr,
                                menu, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    DragAcceptFiles(hwnd, TRUE);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyMenu(menu);
    return 0;
}
