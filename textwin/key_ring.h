// The typed characters on their way from the text window procedure to QIV_Input, and the
// other words the two share. The window procedure runs on the worker thread; QIV_Input may
// run on the main thread.
#pragma once

#include "runtime/control_words.h"
#include "textwin/text_window.h"

#include <atomic>

constexpr int QIV_KEY_RING = 256;

// A ring of typed characters: readIndex -1 means empty, readIndex == writeIndex means full,
// both wrap from 255 to 0. Use the functions below, which serialise the two threads.
struct KeyRingRecord {
    wchar_t keys[QIV_KEY_RING];
    int readIndex;
    int writeIndex;
};
extern KeyRingRecord KeyRing;

// 0 none, 1 recall the last line, 2 paste the clipboard's first line.
extern std::atomic<int> InputRequest;
// The last line entered, at most 255 characters and a terminator.
extern wchar_t LastInputLine[QIV_INPUT_CHARS + 1];

// Appends c; false (c dropped) when the ring is full.
bool KeyRingPut(wchar_t c);
// Takes the oldest character; false when the ring is empty.
bool KeyRingTake(wchar_t* c);
// How many more characters the ring takes.
int KeyRingRoom();
void KeyRingClear();

// Copies of LastInputLine taken and stored under the ring's lock.
void GetLastInputLine(wchar_t* line);
void SetLastInputLine(const wchar_t* line, int length);

// Puts the characters of text up to its terminator, line feed or carriage return into the
// ring while it has room; returns how many went in.
int PutFirstLine(const wchar_t* text);
// Puts the clipboard's first line of text into the ring, if the clipboard has text.
void PasteClipboardLine();
