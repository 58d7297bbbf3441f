// The text windows' narrow strings are UTF-8 and their characters UTF-32 (wchar_t). These
// conversions work in the fixed buffers the text windows use and never split a character.
#pragma once

// The longest prefix of text[0..length) that does not end inside a UTF-8 sequence.
int Utf8CharBoundary(const char* text, int length);

// Decodes text up to its terminator into out (capacity characters, terminator included) and
// returns the number of characters. Invalid or truncated sequences become U+FFFD.
int DecodeUtf8(const char* text, wchar_t* out, int capacity);

// Encodes count characters into out (size bytes, terminator included), stopping before a
// character that would not fit whole; returns the number of bytes. Values that are not
// characters (surrogates, past U+10FFFF) become U+FFFD.
int EncodeUtf8(const wchar_t* text, int count, char* out, int size);
