// The main window's procedure: creation with the drop animation, the pop-up menu, keys and
// the dispatch of commands.
#include "imagewin/pointer_events.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/worker.h"
#include "textwin/line_claim.h"

#include <cstdint>

namespace {

constexpr int STATUS_LINE_ID = 2001;

// The window falls 55 pixels, bounces twice and settles, one step every 20 ms.
constexpr int DROP_OFFSETS[] = {1,  2,  3, 4, 5, 6, 7, 8, 9,  10, -6, -5, -4, -3,
                                -2, -1, 1, 2, 3, 4, 5, 6, -3, -2, -1, 1,  2,  3};

void WaitSince(std::uint32_t t, std::uint32_t ms) {
    while (QIV_GetTime() - t < ms) {
    }
}

void Create(HWND hwnd) {
    MainWindow = hwnd;
    // Down to the client area's bottom edge: room for a second line when a long text is shown
    // in a smaller font.
    StatusLine = CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, 0, 6, 234, 26, hwnd,
                                 reinterpret_cast<HMENU>(STATUS_LINE_ID), qiv_instance, nullptr);
    std::uint32_t t = QIV_GetTime();
    for (int offset : DROP_OFFSETS) {
        RECT r;
        GetWindowRect(hwnd, &r);
        SetWindowPos(hwnd, nullptr, r.left, r.top + offset, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        WaitSince(t, 20);
        t = QIV_GetTime();
    }
    WaitSince(t, 500);
    HDC dc = GetDC(hwnd);
    ScreenBitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(hwnd, dc);
    StartWorkerThread();
}

void PopupMenu(HWND hwnd) {
    // A click tool waiting for clicks owns the pointer.
    if (ToolActive) {
        return;
    }
    int s = (Running.load() == 1 || InputActive.load() != 0 || LineInputBusy()) ? MFS_GRAYED : 0;
    HMENU menu = CreatePopupMenu();
    MenuAddItem(menu, 0, s, CMD_OPEN_IMAGE, "Open image…\tCtrl+O");
    MenuAddItem(menu, 1, s, CMD_PASTE, "Paste\tCtrl+V");
    MenuAddSeparator(menu, 2);
    MenuAddItem(menu, 3, s, CMD_START, "Start");
    MenuAddItem(menu, 4, 0, CMD_STOP, "Stop");
    MenuAddItem(menu, 5, 0, CMD_EXIT, "E&xit");
    MenuAddSeparator(menu, 6);
    MenuAddItem(menu, 7, s, CMD_IMAGE_WINDOW, "Image Window");
    MenuAddItem(menu, 8, s, CMD_TEXT_WINDOW, "Text Window");
    MenuAddItem(menu, 9, s, CMD_INPUT_BOX, "Input Box");
    MenuAddItem(menu, 10, s, CMD_BUTTON_BOX, "Button Box");
    MenuAddSeparator(menu, 11);
    MenuAddItem(menu, 12, s, CMD_WINDOW_INFO, "&Window Info.\tCtrl+W");
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

void Key(HWND hwnd, WPARAM key) {
    if (GetKeyState(VK_CONTROL) < 0) {
        if (key == 'V') {
            PostMessageW(hwnd, WM_COMMAND, CMD_PASTE, 0);
        } else if (key == 'O') {
            PostMessageW(hwnd, WM_COMMAND, CMD_OPEN_IMAGE, 0);
        } else if (key == 'W' && InputActive.load() == 0) {
            // As the greyed menu item: the report would print into the line being read.
            PostMessageW(hwnd, WM_COMMAND, CMD_WINDOW_INFO, 0);
        }
        return;
    }
    if (key == 'X' || key == VK_ESCAPE) {
        ExitCommand();
    } else if (key == 'S') {
        StartCommand();
    } else if (key == 'C') {
        StopCommand();
    }
}

void Command(WORD id) {
    switch (id) {
    case CMD_START:
        StartCommand();
        break;
    case CMD_EXIT:
        ExitCommand();
        break;
    case CMD_STOP:
        StopCommand();
        break;
    case CMD_PASTE:
        PasteCommand();
        break;
    case CMD_OPEN_IMAGE:
        OpenImageCommand();
        break;
    case CMD_IMAGE_WINDOW:
        ImageWindowCommand();
        break;
    case CMD_TEXT_WINDOW:
        TextWindowCommand();
        break;
    case CMD_INPUT_BOX:
        InputBoxCommand();
        break;
    case CMD_WINDOW_INFO:
        WindowInfoCommand();
        break;
    case CMD_BUTTON_BOX:
        ButtonBoxCommand();
        break;
    default:
        break;
    }
}

} // namespace

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Create(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        // The desktop's close is an Exit, so that the logs are closed and the worker gets its
        // grace period rather than the process ending under it.
        ExitCommand();
        return 0;
    case WM_MOVE:
        RebuildSnapTargets();
        return 0;
    case WM_SIZING:
        // The frame can be dragged, but the size stays.
        GetWindowRect(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_MOVING:
        SnapMovingWindow(hwnd, reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        PopupMenu(hwnd);
        return 0;
    case WM_KEYDOWN:
        Key(hwnd, wParam);
        return 0;
    case WM_COMMAND:
        Command(LOWORD(wParam));
        return 0;
    case WM_DROPFILES:
        DroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
