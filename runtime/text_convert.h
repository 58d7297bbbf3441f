// Narrow strings are UTF-8 (the ANSI code page here); window texts are wide. These convert
// between the two into fixed buffers, never splitting a character and never overrunning.
#pragma once

#include <cstddef>

// Converts at most capacity - 1 characters of text and a terminator into out (capacity > 0).
// Malformed bytes become U+FFFD. Returns the number of characters written.
int Utf8ToWide(const char* text, wchar_t* out, int capacity);

// Converts text into out, stopping before a character whose bytes would not fit with the
// terminator (capacity > 0). Returns the number of bytes written.
int WideToUtf8(const wchar_t* text, char* out, int capacity);

// The longest prefix of text, at most maxBytes long, that ends on a character boundary.
std::size_t Utf8PrefixLength(const char* text, std::size_t maxBytes);
