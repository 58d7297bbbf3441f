// The status line's text layout, apart from the window so that it can be checked directly.
#pragma once

// Room for 63 characters of up to four bytes each.
constexpr int QIV_STATUS_CHARS = 63;
constexpr int QIV_STATUS_FIELD = 4 * QIV_STATUS_CHARS + 4;

// Fills field with blanks and copies text to offset max(0, 18 - len / 2) (len in bytes),
// terminated, so that short texts sit roughly in the middle. Texts longer than 63 characters
// are cut after the 63rd.
void FormatStatusField(const char* text, char field[QIV_STATUS_FIELD]);
