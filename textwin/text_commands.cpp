// The text window's pop-up menu, its commands, About and the command prompt.
#include "textwin/text_commands.h"

#include "imageops/drawing.h"
#include "imageops/text_drawing.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "textwin/line_claim.h"
#include "textwin/text_internal.h"

#include "platform/win32.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

int LogState(int n) {
    std::lock_guard lock(textwin::SlotLock(n));
    return qiv_text[n].open ? qiv_text[n].logState : 0;
}

} // namespace

void TextWindowMenu(int n, HWND hwnd) {
    const int log = LogState(n);
    char copyText[64];
    std::snprintf(copyText, sizeof copyText, "&Copy QIVLIB%d%d.LOG\tCtrl+C", InstanceNumber, n);
    HMENU menu = CreatePopupMenu();
    MenuAddItem(menu, 0, CurrentTextWindow == n ? MFS_CHECKED : 0, TEXT_CMD_SELECT,
                "&Select\tCtrl+S");
    MenuAddItem(menu, 1, 0, TEXT_CMD_WINDOW_INFO, "&Window Info.\tCtrl+W");
    MenuAddItem(menu, 2, 0, TEXT_CMD_PROMPT, "Command");
    MenuAddSeparator(menu, 3);
    MenuAddItem(menu, 4, log == 1 ? MFS_CHECKED : 0, TEXT_CMD_START_LOG, "Start Log");
    MenuAddItem(menu, 5, log == 2 ? MFS_CHECKED : 0, TEXT_CMD_STOP_LOG, "Stop Log");
    MenuAddItem(menu, 6, 0, TEXT_CMD_COPY_LOG, copyText);
    MenuAddSeparator(menu, 7);
    MenuAddItem(menu, 8, 0, TEXT_CMD_ABOUT, "&About QIVLIB\tCtrl+A");
    MenuAddSeparator(menu, 9);
    MenuAddItem(menu, 10, 0, TEXT_CMD_DESTROY, "&Destroy\tCtrl+Q");
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

void TextWindowCommand(int n, UINT id) {
    switch (id) {
    case TEXT_CMD_SELECT:
        QIV_SelectTextWindow(n);
        break;
    case TEXT_CMD_WINDOW_INFO:
        WindowInfoReport(n);
        break;
    case TEXT_CMD_PROMPT:
        CommandPrompt();
        break;
    case TEXT_CMD_START_LOG:
        QIV_StartLog(n);
        break;
    case TEXT_CMD_STOP_LOG:
        QIV_StopLog(n);
        break;
    case TEXT_CMD_COPY_LOG:
        QIV_CopyLog(n);
        break;
    case TEXT_CMD_ABOUT:
        AboutCommand(n);
        break;
    case TEXT_CMD_DESTROY:
        QIV_CloseTextWindow(n);
        break;
    default:
        break;
    }
}

void AboutCommand(int n) {
    if (QIV_SelectTextWindow(n) != 0) {
        return;
    }
    QIV_PushTextColor(0x505050, 0x50FF50);
    QIV_Printf("%s\n", QIV_BANNER);
    QIV_PopTextColor();
}

int CommandPrompt() {
    if (!BeginLineDialogue()) {
        return 2;
    }
    char line[QIV_INPUT_BUFFER] = "";
    QIV_Printf("Cmd>");
    QIV_Input(line);
    // The line input is free again before the command acts: "start" must find it so.
    EndLineDialogue();
    if (std::strcmp(line, "exit") == 0) {
        PostMessageW(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } else if (std::strcmp(line, "start") == 0) {
        PostMessageW(MainWindow, WM_KEYDOWN, 'S', 0);
    } else if (std::strcmp(line, "help") == 0) {
        QIV_Printf("Command list:exit help start ver color\n");
    } else if (std::strcmp(line, "ver") == 0) {
        if (HWND hwnd = TextWindowHandle(CurrentTextWindow)) {
            PostMessageW(hwnd, WM_COMMAND, TEXT_CMD_ABOUT, 0);
        }
    } else if (std::strcmp(line, "color") == 0) {
        QIV_Printf("Red  :%3d\n", (qiv_color >> 16) & 0xFF);
        QIV_Printf("Green:%3d\n", (qiv_color >> 8) & 0xFF);
        QIV_Printf("Blue :%3d\n", qiv_color & 0xFF);
        QIV_Printf("qiv_tttc=%06x\n", qiv_tttc);
        QIV_Printf("qiv_tc=%06x\n", qiv_tc);
    } else {
        QIV_Printf("Invalid command\n");
        return 1;
    }
    return 0;
}
