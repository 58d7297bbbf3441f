// The pop-up menu's commands that create framework windows: Paste, the interactive prompts
// for an image window, an input box and a button box, Text Window and Window Info. The
// windows themselves are made by the worker through requests. A prompt holds the line input
// from its first question to its last answer, never while it waits for a request, which the
// worker may serve only after its own line.
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/worker.h"
#include "textwin/line_claim.h"
#include "textwin/text_window.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int TEXT_WINDOWS = 256;

// Prints a prompt and reads a number (atoi: 0 when the line holds none); false once Exit has
// begun, which also abandons the line.
bool AskNumber(const char* prompt, int* value) {
    char line[256] = {};
    QIV_Printf("%s", prompt);
    QIV_Input(line);
    if (ExitState.load() != 0) {
        return false;
    }
    *value = std::atoi(line);
    return true;
}

} // namespace

void ImageWindowCommand() {
    RequestTextWindow(0);
    if (!BeginLineDialogue()) {
        return; // another prompt is reading a line
    }
    QIV_Printf("Creating ImageWindow...\n");
    int width = 0;
    int height = 0;
    int bits = 0;
    const bool answered = AskNumber(" Width=", &width) && AskNumber("Height=", &height) &&
                          AskNumber("Bit[32 or 8]=", &bits);
    EndLineDialogue();
    if (!answered || (bits != 32 && bits != 8)) {
        return;
    }
    for (int k = 0; k < QIV_IMAGE_WINDOWS; ++k) {
        if (!IsImageWindowInUse(k)) {
            char title[16];
            std::snprintf(title, sizeof title, "%03d", k);
            RequestCreateImage(k, title, width, height, bits);
            return;
        }
    }
}

void TextWindowCommand() {
    for (int j = 0; j < TEXT_WINDOWS; ++j) {
        if (!TextWindowHandle(j)) {
            RequestTextWindow(j);
            return;
        }
    }
}

void InputBoxCommand() {
    RequestTextWindow(0);
    if (!BeginLineDialogue()) {
        return;
    }
    QIV_Printf("Creating InpuxBox...\n");
    int items = 0;
    const bool answered = AskNumber("How many items? >", &items);
    EndLineDialogue();
    if (answered) {
        RequestInputBox(items);
    }
}

void ButtonBoxCommand() {
    RequestTextWindow(0);
    if (!BeginLineDialogue()) {
        return;
    }
    QIV_Printf("Creating ButtonBox...\n");
    int nx = 0;
    int ny = 0;
    const bool answered = AskNumber("Number[X]=>", &nx) && AskNumber("Number[Y]=>", &ny);
    EndLineDialogue();
    if (answered) {
        RequestButtonBox(nx, ny);
    }
}

void WindowInfoCommand() {
    if (!TextWindowHandle(CurrentTextWindow.load())) {
        RequestTextWindow(0);
    }
    // The report is the text window's own command.
    if (HWND current = TextWindowHandle(CurrentTextWindow.load())) {
        PostMessageW(current, WM_COMMAND, CMD_WINDOW_INFO, 0);
    }
}
