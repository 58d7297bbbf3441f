// Narrow strings are UTF-8 (the ANSI code page here); window texts are wide (UTF-32). These
// convert between the two in fixed buffers, never splitting a character and never overrunning.
#pragma once

#include <cstddef>

// Converts at most capacity - 1 characters of text and a terminator into out (capacity > 0).
// Malformed bytes become U+FFFD. Returns the number of characters written.
int Utf8ToWide(const char* text, wchar_t* out, int capacity);

// Converts text into out, stopping before a character whose bytes would not fit with the
// terminator (capacity > 0). Surrogates and values past U+10FFFF become U+FFFD. Returns the
// number of bytes written.
int WideToUtf8(const wchar_t* text, char* out, int capacity);
// The same for the first count characters of text.
int WideCharsToUtf8(const wchar_t* text, int count, char* out, int capacity);

// Whole conversions for texts that must not be cut, such as paths (a cut path names another
// file): false, with out empty, when text is null or does not fit.
bool Utf8ToWideIfFits(const char* text, wchar_t* out, int capacity);
bool WideToUtf8IfFits(const wchar_t* text, char* out, int capacity);

// Decodes the character at text (which is not at its terminator); *length receives the bytes
// it took, at least 1. A malformed or interrupted sequence gives U+FFFD for the bytes before
// the interruption.
char32_t Utf8DecodeOne(const char* text, int* length);

// The longest prefix of text[0..length) that does not end inside a UTF-8 sequence. Stray
// continuation bytes with no lead byte close enough are kept as they are.
int Utf8CharBoundary(const char* text, int length);
// The same for a terminated text cut at maxBytes.
std::size_t Utf8PrefixLength(const char* text, std::size_t maxBytes);
