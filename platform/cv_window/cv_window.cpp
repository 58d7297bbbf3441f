// Named display windows: a fixed table of names and windows, each window painting its last
// image 1:1 from a copy, so the caller may release the image at once.
#include "platform/cv_window.h"
#include "platform/cv_window/cv_window_pixels.h"
#include "platform/user/text.h"
#include "platform/win32.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int MAX_CV_WINDOWS = 32;
constexpr wchar_t CLASS_NAME[] = L"qiv_cvwin";
constexpr DWORD WINDOW_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct CvWindowRecord {
    bool inUse = false;
    std::string name;
    HWND hwnd = nullptr;
    DWORD thread = 0;
    bool autosize = true;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

std::mutex tableMutex;
CvWindowRecord cvWindows[MAX_CV_WINDOWS];

CvWindowRecord* FindByName(const char* name) {
    for (CvWindowRecord& w : cvWindows) {
        if (w.inUse && w.name == name) {
            return &w;
        }
    }
    return nullptr;
}

CvWindowRecord* FindByHandle(HWND hwnd) {
    for (CvWindowRecord& w : cvWindows) {
        if (w.inUse && w.hwnd == hwnd) {
            return &w;
        }
    }
    return nullptr;
}

void PaintImage(HWND hwnd, HDC dc) {
    std::lock_guard<std::mutex> lock(tableMutex);
    CvWindowRecord* w = FindByHandle(hwnd);
    if (!w || w->pixels.empty()) {
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w->width;
    info.bmiHeader.biHeight = -w->height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        return;
    }
    std::memcpy(bits, w->pixels.data(), w->pixels.size() * sizeof(std::uint32_t));
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, w->width, w->height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

LRESULT CALLBACK CvWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc) {
            PaintImage(hwnd, dc);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY: {
        // Closed by the user or by cvDestroyWindow: the name becomes free again, so a later
        // cvShowImage opens a fresh window.
        std::lock_guard<std::mutex> lock(tableMutex);
        if (CvWindowRecord* w = FindByHandle(hwnd)) {
            *w = CvWindowRecord{};
        }
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool RegisterCvWindowClass() {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CvWindowProc;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = CLASS_NAME;
        registered = RegisterClassW(&wc) != 0;
    });
    return registered;
}

// The window's handle if it exists (created here when absent and create is set).
HWND WindowFor(const char* name, bool create, int flags) {
    if (!name || !*name) {
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        if (CvWindowRecord* w = FindByName(name)) {
            return w->hwnd;
        }
    }
    if (!create || !RegisterCvWindowClass()) {
        return nullptr;
    }
    std::wstring title = platform::Utf8ToWide(name);
    HWND hwnd = CreateWindowExW(0, CLASS_NAME, title.c_str(), WINDOW_STYLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, 200, 100, nullptr, nullptr, nullptr, nullptr);
    if (!hwnd) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(tableMutex);
    for (CvWindowRecord& w : cvWindows) {
        if (!w.inUse) {
            w.inUse = true;
            w.name = name;
            w.hwnd = hwnd;
            w.thread = GetCurrentThreadId();
            w.autosize = (flags & CV_WINDOW_AUTOSIZE) != 0;
            return hwnd;
        }
    }
    // The table is full: no window rather than one nobody can name.
    DestroyWindow(hwnd);
    return nullptr;
}

} // namespace

int cvNamedWindow(const char* name, int flags) {
    return WindowFor(name, true, flags) ? 1 : 0;
}

void cvMoveWindow(const char* name, int x, int y) {
    if (HWND hwnd = WindowFor(name, false, 0)) {
        SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void cvShowImage(const char* name, const CvArr* image) {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    if (!platform::ConvertForDisplay(image, &width, &height, &pixels)) {
        return;
    }
    HWND hwnd = WindowFor(name, true, CV_WINDOW_AUTOSIZE);
    if (!hwnd) {
        return;
    }
    bool resize = false;
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        CvWindowRecord* w = FindByHandle(hwnd);
        if (!w) {
            return;
        }
        resize = w->autosize && (w->width != width || w->height != height);
        w->width = width;
        w->height = height;
        w->pixels.swap(pixels);
    }
    if (resize) {
        RECT frame = {0, 0, width, height};
        AdjustWindowRectEx(&frame, WINDOW_STYLE, FALSE, 0);
        SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

void cvDestroyWindow(const char* name) {
    HWND hwnd = WindowFor(name, false, 0);
    if (!hwnd) {
        return;
    }
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        DestroyWindow(hwnd);
    } else {
        // Only the owning thread may destroy a window; it closes it at its next pump.
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
}

void cvDestroyAllWindows() {
    std::vector<HWND> own;
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        for (CvWindowRecord& w : cvWindows) {
            if (w.inUse && w.thread == GetCurrentThreadId()) {
                own.push_back(w.hwnd);
            }
        }
    }
    for (HWND hwnd : own) {
        DestroyWindow(hwnd);
    }
}
