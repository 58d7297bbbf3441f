// The status line's text layout, apart from the window so that it can be checked directly.
#pragma once

constexpr int QIV_STATUS_FIELD = 64;

// Fills field with blanks and copies text to offset max(0, 18 - len / 2), terminated, so
// that short texts sit roughly in the middle. Texts longer than 63 bytes are cut at a
// character boundary.
void FormatStatusField(const char* text, char field[QIV_STATUS_FIELD]);
