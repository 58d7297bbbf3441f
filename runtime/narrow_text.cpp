// Message boxes and window texts given as narrow strings, converted through 256-character
// buffers.
#include "platform/win32.h"
#include "runtime/helpers.h"
#include "runtime/text_convert.h"

#include <algorithm>

namespace {

constexpr int TEXT_CHARS = 256;

} // namespace

void QIV_Pause(const char* text) {
    wchar_t wide[TEXT_CHARS];
    Utf8ToWide(text, wide, TEXT_CHARS);
    MessageBoxW(nullptr, wide, L"Pause", MB_OK);
}

void QIV_SetWindowText(HWND hwnd, const char* text) {
    wchar_t wide[TEXT_CHARS];
    Utf8ToWide(text, wide, TEXT_CHARS);
    SetWindowTextW(hwnd, wide);
}

int QIV_GetWindowText(HWND hwnd, char* buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    wchar_t wide[TEXT_CHARS];
    wide[0] = L'\0';
    GetWindowTextW(hwnd, wide, std::min(size, TEXT_CHARS));
    return WideToUtf8(wide, buffer, size);
}
