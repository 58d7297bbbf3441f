// Ctrl+V during line input: the clipboard's first line arrives as if typed.
#include "textwin/key_ring.h"

#include "platform/win32.h"

int PutFirstLine(const wchar_t* text) {
    int count = 0;
    for (; text[count] != 0 && text[count] != L'\n' && text[count] != L'\r'; ++count) {
        if (!KeyRingPut(text[count])) {
            break;
        }
    }
    return count;
}

void PasteClipboardLine() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) {
        return;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            PutFirstLine(text);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}
