// The text window table: opening, closing, selecting, the colour stacks and the memory
// surface every window draws into.
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/worker.h"
#include "textwin/key_ring.h"
#include "textwin/text_internal.h"
#include "textwin/text_layout.h"

#include "platform/win32.h"

#include <cstdint>
#include <cwchar>

TextWindowRecord qiv_text[QIV_TEXT_WINDOWS];
std::atomic<int> CurrentTextWindow{0};

namespace textwin {
namespace {

constexpr int DEFAULT_WIDTH = 400;
constexpr int DEFAULT_HEIGHT = 300;
constexpr DWORD TEXT_WINDOW_STYLE = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

std::mutex slotLocks[QIV_TEXT_WINDOWS];

bool InRange(int n) {
    return n >= 0 && n < QIV_TEXT_WINDOWS;
}

void ApplyColors(TextWindowRecord& t) {
    SetTextColor(t.memDC, GdiColor(t.textColor));
    SetBkColor(t.memDC, GdiColor(t.backColor));
    SetBkMode(t.memDC, OPAQUE);
}

} // namespace

std::mutex& SlotLock(int n) {
    return slotLocks[n];
}

COLORREF GdiColor(int rgb) {
    const auto v = static_cast<std::uint32_t>(rgb);
    return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
}

bool CreateMemorySurface(TextWindowRecord& t) {
    t.memDC = CreateCompatibleDC(t.windowDC);
    // A zero-sized client still gets a one-pixel bitmap, so the DC always has one selected.
    t.bitmap = t.memDC ? CreateCompatibleBitmap(t.windowDC, t.width > 0 ? t.width : 1,
                                                t.height > 0 ? t.height : 1)
                       : nullptr;
    if (!t.bitmap) {
        if (t.memDC) {
            DeleteDC(t.memDC);
        }
        t.memDC = nullptr;
        return false;
    }
    SelectObject(t.memDC, GetStockObject(BLACK_BRUSH));
    SelectObject(t.memDC, GetStockObject(OEM_FIXED_FONT));
    t.oldBitmap = SelectObject(t.memDC, t.bitmap);
    const RECT all = {0, 0, t.width, t.height};
    FillRect(t.memDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ApplyColors(t);
    return true;
}

void ReleaseMemorySurface(TextWindowRecord& t) {
    if (t.memDC) {
        SelectObject(t.memDC, t.oldBitmap);
        DeleteObject(t.bitmap);
        DeleteDC(t.memDC);
    }
    t.memDC = nullptr;
    t.bitmap = nullptr;
    t.oldBitmap = nullptr;
}

void DrawCells(TextWindowRecord& t, const wchar_t* text, int count, int x, int y) {
    // Runs of one-cell characters go out whole. A two-cell character is drawn on its own over
    // two blank cells: the font draws some of them (accented letters, symbols) one cell wide,
    // and the layout must still find the next character where it put it.
    static const wchar_t BLANKS[2] = {L' ', L' '};
    int start = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && CharCells(text[i]) == 1) {
            continue;
        }
        if (i > start) {
            TextOutW(t.memDC, x, y, text + start, i - start);
            x += (i - start) * t.cellWidth;
        }
        if (i < count) {
            TextOutW(t.memDC, x, y, BLANKS, 2);
            TextOutW(t.memDC, x, y, text + i, 1);
            x += 2 * t.cellWidth;
        }
        start = i + 1;
    }
}

bool ScrollIfNeeded(TextWindowRecord& t) {
    if (t.cursorY + t.cellHeight < t.height) {
        return false;
    }
    const int kept = t.cursorY - t.cellHeight;
    if (kept > 0) {
        BitBlt(t.memDC, 0, 0, t.width, kept, t.memDC, 0, t.cellHeight, SRCCOPY);
    }
    t.cursorY -= t.cellHeight;
    const RECT below = {0, t.cursorY, t.width, t.height};
    FillRect(t.memDC, &below, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
}

void PumpCallerMessages() {
    if (MainWindow && GetWindowThreadProcessId(MainWindow, nullptr) == GetCurrentThreadId()) {
        PumpMainMessages();
    } else {
        QIV_PumpMessages();
    }
}

void WriteLog(TextWindowRecord& t, const char* text) {
    if (t.logState == 1 && t.logFile) {
        std::fputs(text, t.logFile);
    }
}

} // namespace textwin

using namespace textwin;

void ResetTextWindowTable() {
    for (int n = 0; n < QIV_TEXT_WINDOWS; ++n) {
        std::lock_guard lock(SlotLock(n));
        qiv_text[n].open = 0;
    }
    CurrentTextWindow = 0;
    SetLastInputLine(L"", 0);
}

HWND TextWindowHandle(int n) {
    if (!InRange(n)) {
        return nullptr;
    }
    std::lock_guard lock(SlotLock(n));
    return qiv_text[n].open ? qiv_text[n].hwnd : nullptr;
}

bool IsTextWindowOpen(int n) {
    if (!InRange(n)) {
        return false;
    }
    std::lock_guard lock(SlotLock(n));
    return qiv_text[n].open != 0;
}

void BringTextWindowForward(int n) {
    HWND hwnd = nullptr;
    if (InRange(n)) {
        std::lock_guard lock(SlotLock(n));
        hwnd = qiv_text[n].open ? qiv_text[n].hwnd : nullptr;
    }
    if (hwnd) {
        SetForegroundWindow(hwnd);
    }
}

int TextWindowFromHandle(HWND hwnd) {
    if (!hwnd) {
        return -1;
    }
    for (int n = 0; n < QIV_TEXT_WINDOWS; ++n) {
        std::lock_guard lock(SlotLock(n));
        if (qiv_text[n].open && qiv_text[n].hwnd == hwnd) {
            return n;
        }
    }
    return -1;
}

int QIV_OpenTextWindow(int n, int x, int y, int width, int height) {
    if (!InRange(n)) {
        return 2;
    }
    if (IsTextWindowOpen(n)) {
        BringTextWindowForward(n);
        CurrentTextWindow = n;
        return 1;
    }
    width = width < 0 ? DEFAULT_WIDTH : width;
    height = height < 0 ? DEFAULT_HEIGHT : height;
    wchar_t title[32];
    std::swprintf(title, 32, L"TextWindow %d", n);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, TEXT_WINDOW_STYLE, FALSE);
    // Created outside the slot's lock: creation sends messages that look the window up.
    HWND hwnd = CreateWindowExW(0, L"qiv_twi", title, TEXT_WINDOW_STYLE, x < 0 ? CW_USEDEFAULT : x,
                                y < 0 ? CW_USEDEFAULT : y, frame.right - frame.left,
                                frame.bottom - frame.top, MainWindow, nullptr, nullptr, nullptr);
    if (!hwnd) {
        return 2;
    }
    // The desktop may not grant the size asked for; the bitmap follows the real client area.
    RECT client = {};
    if (GetClientRect(hwnd, &client) && client.right > 0 && client.bottom > 0) {
        width = client.right;
        height = client.bottom;
    }
    {
        std::lock_guard lock(SlotLock(n));
        TextWindowRecord& t = qiv_text[n];
        t = TextWindowRecord{};
        t.width = width;
        t.height = height;
        t.textColor = 0xFFFFFF;
        t.backColor = 0x000000;
        t.hwnd = hwnd;
        t.windowDC = GetDC(hwnd);
        if (!CreateMemorySurface(t)) {
            ReleaseDC(hwnd, t.windowDC);
            t.hwnd = nullptr;
            t.windowDC = nullptr;
        } else {
            TEXTMETRICW metrics = {};
            GetTextMetricsW(t.memDC, &metrics);
            t.cellWidth = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 8;
            t.cellHeight = metrics.tmHeight > 0 ? metrics.tmHeight : 16;
            for (int i = 0; i < QIV_TEXT_COLOR_DEPTH; ++i) {
                t.textColorStack[i] = t.textColor;
                t.backColorStack[i] = t.backColor;
            }
            t.open = 1;
        }
    }
    if (!IsTextWindowOpen(n)) {
        DestroyWindow(hwnd);
        return 2;
    }
    CurrentTextWindow = n;
    RebuildSnapTargets();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    return 0;
}

void QIV_ShowTextWindow() {
    const int current = CurrentTextWindow;
    if (IsTextWindowOpen(current)) {
        BringTextWindowForward(current);
        return;
    }
    QIV_OpenTextWindow(0, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - DEFAULT_WIDTH / 2,
                       GetSystemMetrics(SM_CYFULLSCREEN) / 2 - DEFAULT_HEIGHT / 2, DEFAULT_WIDTH,
                       DEFAULT_HEIGHT);
}

int QIV_CloseTextWindow(int n) {
    if (!InRange(n)) {
        return 1;
    }
    HWND hwnd;
    HDC windowDC;
    {
        std::lock_guard lock(SlotLock(n));
        TextWindowRecord& t = qiv_text[n];
        if (!t.open) {
            return 1;
        }
        t.open = 0;
        CloseLog(t);
        ReleaseMemorySurface(t);
        hwnd = t.hwnd;
        windowDC = t.windowDC;
        t.windowDC = nullptr;
    }
    if (CurrentTextWindow == n) {
        for (int k = 0; k < QIV_TEXT_WINDOWS; ++k) {
            if (IsTextWindowOpen(k)) {
                CurrentTextWindow = k;
                break;
            }
        }
    }
    int reading = n + 1;
    InputActive.compare_exchange_strong(reading, 0);
    ReleaseDC(hwnd, windowDC);
    DestroyWindow(hwnd);
    return 0;
}

int QIV_SelectTextWindow(int n) {
    if (!IsTextWindowOpen(n)) {
        return 1;
    }
    CurrentTextWindow = n;
    return 0;
}

void QIV_PushTextColor(int background, int text) {
    const int n = CurrentTextWindow;
    std::lock_guard lock(SlotLock(n));
    TextWindowRecord& t = qiv_text[n];
    if (!t.open) {
        return;
    }
    for (int i = QIV_TEXT_COLOR_DEPTH - 1; i > 0; --i) {
        t.textColorStack[i] = t.textColorStack[i - 1];
        t.backColorStack[i] = t.backColorStack[i - 1];
    }
    t.textColorStack[0] = t.textColor;
    t.backColorStack[0] = t.backColor;
    t.textColor = text;
    t.backColor = background;
    ApplyColors(t);
}

void QIV_PopTextColor() {
    const int n = CurrentTextWindow;
    std::lock_guard lock(SlotLock(n));
    TextWindowRecord& t = qiv_text[n];
    if (!t.open) {
        return;
    }
    t.textColor = t.textColorStack[0];
    t.backColor = t.backColorStack[0];
    for (int i = 0; i < QIV_TEXT_COLOR_DEPTH - 1; ++i) {
        t.textColorStack[i] = t.textColorStack[i + 1];
        t.backColorStack[i] = t.backColorStack[i + 1];
    }
    ApplyColors(t);
}
