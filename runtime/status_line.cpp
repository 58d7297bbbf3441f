#include "runtime/status_line.h"

#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/text_convert.h"

#include <algorithm>
#include <cstring>

void FormatStatusField(const char* text, char field[QIV_STATUS_FIELD]) {
    std::memset(field, ' ', QIV_STATUS_FIELD);
    std::size_t length = 0;
    for (int i = 0; i < QIV_STATUS_CHARS && text[length] != '\0'; ++i) {
        int bytes = 1;
        Utf8DecodeOne(text + length, &bytes);
        length += static_cast<std::size_t>(bytes);
    }
    std::size_t offset = static_cast<std::size_t>(std::max(0, 18 - static_cast<int>(length / 2)));
    // A short text's offset plus length stays below 63 bytes, so the terminator always fits.
    std::memcpy(field + offset, text, length);
    field[offset + length] = '\0';
}

void QIV_SetStatus(const char* text) {
    char field[QIV_STATUS_FIELD];
    FormatStatusField(text ? text : "", field);
    wchar_t wide[QIV_STATUS_FIELD];
    Utf8ToWide(field, wide, QIV_STATUS_FIELD);
    if (StatusLine) {
        SetWindowTextW(StatusLine, wide);
    }
}
