// A second process for the FindWindowW tests: creates a top-level window of the class named on
// its command line, says "ready", and waits to be killed.
#include "platform/win32.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    std::string narrow = argv[1];
    std::wstring name(narrow.begin(), narrow.end());
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = name.c_str();
    if (!RegisterClassW(&wc)) {
        return 1;
    }
    HWND hwnd = CreateWindowExW(0, name.c_str(), L"helper", WS_CAPTION, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr);
    if (!hwnd) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Bounded, so that a test that dies before killing it leaves nothing behind for long.
    std::this_thread::sleep_for(std::chrono::seconds(60));
    return 0;
}
