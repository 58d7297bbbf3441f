// Reading a typed line from the current text window. The window procedure feeds KeyRing;
// this loop consumes it, echoes the line, and remembers where each screen line of the input
// wrapped so that Backspace can walk back across them. Only one line is read at a time
// (line_claim.h).
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/text_convert.h"
#include "runtime/worker.h"
#include "textwin/key_ring.h"
#include "textwin/text_internal.h"
#include "textwin/text_layout.h"

#include "platform/win32.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using namespace textwin;

constexpr std::uint32_t BLINK_MS = 200;
constexpr std::uint32_t IDLE_CAP_MS = 50;
constexpr wchar_t BLANK = L' ';
constexpr wchar_t UNDERSCORE = L'_';
constexpr wchar_t IDEOGRAPHIC_SPACE = 0x3000;

struct LineInput {
    int n;     // the window read from
    HWND hwnd; // its handle when the input began, so a reopened number is not written to
    wchar_t line[QIV_INPUT_CHARS + 1];
    int length;
    int wraps;                      // screen lines the input has moved down by
    int wrapX[QIV_INPUT_CHARS + 1]; // per wrap: where Backspace puts the cursor back
    int sizeChanges;                // the window's count when the echo was last laid out
};

// Runs f on the reading window's record under its lock and repaints the window. The echo
// changes a few cells at a time, and copying the whole bitmap costs little.
template <typename F>
void WithWindow(const LineInput& in, F f) {
    {
        std::lock_guard lock(SlotLock(in.n));
        TextWindowRecord& t = qiv_text[in.n];
        if (!t.open || t.hwnd != in.hwnd) {
            return;
        }
        f(t);
    }
    InvalidateRect(in.hwnd, nullptr, FALSE);
}

void DrawCursor(const LineInput& in, wchar_t shape) {
    WithWindow(in, [shape](TextWindowRecord& t) { DrawCells(t, &shape, 1, t.cursorX, t.cursorY); });
}

void WrapLine(LineInput& in, TextWindowRecord& t, int backX) {
    in.wrapX[in.wraps++] = backX;
    t.cursorX = 0;
    t.cursorY += t.cellHeight;
    ScrollIfNeeded(t);
}

void Backspace(LineInput& in) {
    const wchar_t removed = in.line[--in.length];
    WithWindow(in, [&in, removed](TextWindowRecord& t) {
        DrawCells(t, &BLANK, 1, t.cursorX, t.cursorY);
        const int cells = CharCells(removed);
        if (in.wraps > 0 && t.cursorX == 0) {
            t.cursorX = in.wrapX[--in.wraps];
            t.cursorY -= t.cellHeight;
        } else {
            t.cursorX -= cells * t.cellWidth;
        }
        if (cells == 2) {
            DrawCells(t, &IDEOGRAPHIC_SPACE, 1, t.cursorX, t.cursorY);
            // The character had been pushed onto a new line: that line is empty again, so
            // go back to where it would have stood on the line before.
            if (t.cursorX == 0 && in.wraps > 0 && in.wrapX[in.wraps - 1] >= t.width) {
                t.cursorX = in.wrapX[--in.wraps] - 2 * t.cellWidth;
                t.cursorY -= t.cellHeight;
            }
        }
    });
}

void Type(LineInput& in, wchar_t c) {
    WithWindow(in, [&in, c](TextWindowRecord& t) {
        const int cells = CharCells(c);
        if (cells == 2 && t.cursorX > t.width - 2 * t.cellWidth) {
            DrawCells(t, &BLANK, 1, t.cursorX, t.cursorY);
            WrapLine(in, t, t.cursorX + 2 * t.cellWidth);
        }
        DrawCells(t, &c, 1, t.cursorX, t.cursorY);
        if (t.cursorX + cells * t.cellWidth > t.width - t.cellWidth) {
            WrapLine(in, t, t.cursorX);
        } else {
            t.cursorX += cells * t.cellWidth;
        }
    });
    in.line[in.length++] = c;
}

void EndLine(const LineInput& in) {
    WithWindow(in, [](TextWindowRecord& t) {
        DrawCells(t, &BLANK, 1, t.cursorX, t.cursorY);
        t.cursorX = 0;
        t.cursorY += t.cellHeight;
        ScrollIfNeeded(t);
    });
}

// A resize cleared the window and sent the cursor home: the echo so far is drawn again from
// there at the new width, with its wraps worked out afresh.
void LayOutAgainIfResized(LineInput& in) {
    int changes = 0;
    {
        std::lock_guard lock(SlotLock(in.n));
        const TextWindowRecord& t = qiv_text[in.n];
        if (!t.open || t.hwnd != in.hwnd || t.sizeChanges == in.sizeChanges) {
            return;
        }
        changes = t.sizeChanges;
    }
    in.sizeChanges = changes;
    const int length = in.length;
    in.length = 0;
    in.wraps = 0;
    for (int i = 0; i < length; ++i) {
        Type(in, in.line[i]);
    }
}

// Types the last line again through the window, as if the user had.
void Recall(const LineInput& in) {
    wchar_t last[QIV_INPUT_CHARS + 1];
    GetLastInputLine(last);
    for (int i = 0; last[i] != 0; ++i) {
        SendMessageW(in.hwnd, WM_CHAR, static_cast<WPARAM>(last[i]), 0);
    }
}

void SetStatusBits() {
    char status[16];
    std::snprintf(status, sizeof status, "%d-bit color", ScreenBitsPerPixel);
    QIV_SetStatus(status);
}

void ReadLine(char* buffer) {
    // The current window may have changed while another reader held the line.
    LineInput in = {};
    in.n = CurrentTextWindow;
    {
        if (in.n < 0 || in.n >= QIV_TEXT_WINDOWS) {
            buffer[0] = 0;
            return;
        }
        std::lock_guard lock(SlotLock(in.n));
        if (!qiv_text[in.n].open) {
            buffer[0] = 0;
            return;
        }
        in.hwnd = qiv_text[in.n].hwnd;
        in.sizeChanges = qiv_text[in.n].sizeChanges;
    }
    SetForegroundWindow(in.hwnd);
    buffer[0] = 0;
    QIV_SetStatus("Input text");
    int blinkPhase = 1;
    bool blinkPending = true;
    std::uint32_t blinkTime = QIV_GetTime();
    InputActive = in.n + 1;

    bool entered = false;
    for (;;) {
        PumpCallerMessages();
        wchar_t c = 0;
        const bool typed = KeyRingTake(&c);
        if (c == L'\t') {
            c = BLANK;
        }
        if (c == L'\r') {
            entered = true;
            break;
        }
        const int request = InputRequest;
        if (request == 1) {
            Recall(in);
            InputRequest = 0;
        } else if (request == 2) {
            PasteClipboardLine();
            InputRequest = 0;
        }
        if (InputActive == 0) {
            break;
        }
        LayOutAgainIfResized(in);
        if (c == L'\b') {
            if (in.length > 0) {
                Backspace(in);
            }
        } else if (c >= 0x20 && c != 0x7F && in.length < QIV_INPUT_CHARS) {
            // Other control characters (Esc, a stray line feed) have no place in a line.
            Type(in, c);
            blinkPending = true;
        }
        const std::uint32_t now = QIV_GetTime();
        if (now - blinkTime > BLINK_MS) {
            blinkPhase ^= 1;
            blinkPending = true;
            blinkTime = now;
        }
        if (blinkPending) {
            DrawCursor(in, blinkPhase ? UNDERSCORE : BLANK);
            blinkPending = false;
        }
        if (!typed && request == 0) {
            // Nothing to do until the next key or the next blink: sleep on the queue. Keys come
            // as messages; the cap covers words that other threads change without one.
            const std::uint32_t sinceBlink = QIV_GetTime() - blinkTime;
            const std::uint32_t untilBlink = sinceBlink > BLINK_MS ? 0 : BLINK_MS + 1 - sinceBlink;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(untilBlink, IDLE_CAP_MS),
                                      QS_ALLINPUT);
        }
    }

    if (entered) {
        InputActive = 0;
        EndLine(in);
        SetLastInputLine(in.line, in.length);
        WideCharsToUtf8(in.line, in.length, buffer, QIV_INPUT_BUFFER);
        std::lock_guard lock(SlotLock(in.n));
        if (qiv_text[in.n].open && qiv_text[in.n].hwnd == in.hwnd) {
            WriteLog(qiv_text[in.n], buffer);
            WriteLog(qiv_text[in.n], "\n");
        }
    } else {
        DrawCursor(in, BLANK);
    }
    SetStatusBits();
}

} // namespace

void QIV_Input(char* buffer) {
    if (!buffer || !IsTextWindowOpen(CurrentTextWindow)) {
        return;
    }
    using textwin::LineClaim;
    LineClaim claim = textwin::TryClaimLineForInput();
    while (claim == LineClaim::BUSY && ExitState.load() == 0) {
        // The other thread's line may need this thread's pump to receive its keys.
        textwin::PumpCallerMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        claim = textwin::TryClaimLineForInput();
    }
    if (claim == LineClaim::BUSY || claim == LineClaim::REFUSED) {
        buffer[0] = 0;
        return;
    }
    ReadLine(buffer);
    textwin::ReleaseLineForInput(claim);
}
