// Printing into the current text window.
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/text_convert.h"
#include "runtime/worker.h"
#include "textwin/text_internal.h"
#include "textwin/text_layout.h"

#include "platform/win32.h"

#include <cstdarg>

namespace {

constexpr int PRINT_BUFFER = 4096;

} // namespace

void QIV_Printf(const char* format, ...) {
    using namespace textwin;
    const int n = CurrentTextWindow;
    if (!format || !IsTextWindowOpen(n)) {
        return;
    }
    char narrow[PRINT_BUFFER];
    va_list args;
    va_start(args, format);
    const int formatted = std::vsnprintf(narrow, sizeof narrow, format, args);
    va_end(args);
    if (formatted < 0) {
        return;
    }
    if (formatted >= PRINT_BUFFER) {
        // Cut where the buffer ended, but never inside a character.
        narrow[Utf8CharBoundary(narrow, PRINT_BUFFER - 1)] = 0;
    }
    wchar_t wide[PRINT_BUFFER];
    const int count = Utf8ToWide(narrow, wide, PRINT_BUFFER);

    HWND hwnd;
    {
        std::lock_guard lock(SlotLock(n));
        TextWindowRecord& t = qiv_text[n];
        if (!t.open) {
            return;
        }
        WriteLog(t, narrow);
        int x = t.cursorX;
        int at = 0;
        while (at < count) {
            const TextRun run = NextTextRun(wide + at, count - at, x, t.width, t.cellWidth);
            DrawCells(t, wide + at, run.count, t.cursorX, t.cursorY);
            at += run.consumed;
            if (run.end == RunEnd::TEXT_END) {
                x = run.nextX;
            } else {
                t.cursorY += t.cellHeight;
                t.cursorX = 0;
                x = 0;
                ScrollIfNeeded(t);
            }
        }
        t.cursorX = x;
        hwnd = t.hwnd;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpCallerMessages();
}
