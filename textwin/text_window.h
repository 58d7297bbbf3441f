// Text windows: numbered consoles that the framework and user programs print into and read
// typed lines from. Printing and input always go to the current text window.
//
// The windows belong to the worker thread, but the main window's prompts print and read from
// the main thread. Each slot therefore has a lock that guards its record and memory bitmap:
// printing, input echo, painting, resizing and closing all hold it while they touch either.
#pragma once

#include "platform/win32_types.h"

#include <atomic>
#include <cstdio>

constexpr int QIV_TEXT_WINDOWS = 256;
constexpr int QIV_TEXT_COLOR_DEPTH = 8;
// Longest typed line in characters, and the size of the caller's buffer in bytes.
constexpr int QIV_INPUT_CHARS = 255;
constexpr int QIV_INPUT_BUFFER = 256;

// One text window. Colours are 0xRRGGBB; they become GDI's 0x00BBGGRR only at the DC.
struct TextWindowRecord {
    int open;  // 1 while the window exists
    int width; // client size in pixels, also the memory bitmap's size
    int height;
    int cursorX;    // pixel column where the next character goes
    int cursorY;    // top pixel row of the current text line
    int cellWidth;  // the font's average character width
    int cellHeight; // the font's character height
    int textColor;
    int backColor;                            // painted behind every printed character
    int textColorStack[QIV_TEXT_COLOR_DEPTH]; // newest first
    int backColorStack[QIV_TEXT_COLOR_DEPTH];
    HWND hwnd;
    HDC memDC;    // the bitmap, the black brush and the OEM fixed font are selected into it
    HDC windowDC; // the window's own DC, kept while the window exists
    HBITMAP bitmap;
    HGDIOBJ oldBitmap; // what memDC held before bitmap; put back before deletion
    int logState;      // 0 no log, 1 logging, 2 paused
    FILE* logFile;
    int sizeChanges; // counts resizes, so that a line being read lays its echo out again
};

extern TextWindowRecord qiv_text[QIV_TEXT_WINDOWS];
// The window that printing and input use.
extern std::atomic<int> CurrentTextWindow;

// Start-up: every slot free, window 0 current, the last input line empty.
void ResetTextWindowTable();

// 0 opened; 1 already open (brought to the front and made current, nothing else changes);
// 2 number outside 0..255 or the window could not be made. Negative width or height mean 400
// or 300 client pixels; a negative x or y means the desktop's default position.
int QIV_OpenTextWindow(int n, int x, int y, int width, int height);
// Brings the current text window forward, or opens window 0 centred on the screen.
void QIV_ShowTextWindow();
// 0 closed; 1 out of range or not open.
int QIV_CloseTextWindow(int n);
// 0 n is now current; 1 out of range or not open.
int QIV_SelectTextWindow(int n);
// printf-style output to the current text window; nothing if it is not open.
void QIV_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Reads one typed line (UTF-8, at most 255 bytes and a terminator) into buffer, which holds
// QIV_INPUT_BUFFER bytes. Returns at once, buffer untouched, if the current text window is
// not open; an input abandoned by Exit or by closing the window leaves buffer empty.
void QIV_Input(char* buffer);
void QIV_PushTextColor(int background, int text);
void QIV_PopTextColor();

// The number of the open text window with this handle, or -1.
int TextWindowFromHandle(HWND hwnd);
// True when n is in 0..255 and its window exists; any thread may ask.
bool IsTextWindowOpen(int n);
// Brings text window n to the front if it is open; any thread may call it.
void BringTextWindowForward(int n);
// The window of text window n while it is open, else null; any thread may ask. The snap
// targets list open text windows through it, in table order.
HWND TextWindowHandle(int n);

// The procedure of the class "qiv_twi" that start-up registers.
LRESULT CALLBACK TextWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
