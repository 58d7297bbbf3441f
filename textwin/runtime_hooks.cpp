// The text windows as the runtime's start-up, prompts, snapping and Exit reach them.
#include "textwin/runtime_seams.h"
#include "textwin/text_commands.h"
#include "textwin/text_internal.h"

HWND TextWindowHandle(int n) {
    if (n < 0 || n >= QIV_TEXT_WINDOWS) {
        return nullptr;
    }
    std::lock_guard lock(textwin::SlotLock(n));
    return qiv_text[n].open ? qiv_text[n].hwnd : nullptr;
}

void OpenTextWindowForRequest(const RequestBlock& args) {
    QIV_OpenTextWindow(static_cast<int>(args.number), -1, -1, -1, -1);
}

WNDPROC TextWindowProcedure() {
    return TextWindowProc;
}

int CurrentTextWindowNumber() {
    return CurrentTextWindow;
}

void PromptPrint(const char* text) {
    QIV_Printf("%s", text);
}

void PromptInput(char line[256]) {
    line[0] = 0;
    QIV_Input(line);
}

void CloseTextWindowLogs() {
    QIV_CloseLogs();
}
