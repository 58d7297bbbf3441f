// Pictures brought to the main window: dropped files, files named on the command line, and
// Paste. Each opens as a new 32-bit image window through the worker's requests, which the
// runtime passes in (they post requests 9001-9004 and wait for the worker).
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

struct ImageRequests {
    // Create image window n titled title; 0, or 1 when n is in use (others: gave up).
    int (*createImage)(int n, const char* title, int width, int height, int bits);
    // Draw the file into window n; the result of QIV_LoadImage.
    int (*loadImage)(int n, const char* path);
    void (*updateImage)(int n);
    // Copy the bitmap into the current image window and delete it.
    void (*pasteBitmap)(HBITMAP bitmap);
    // Make the image window that was current before the creation current again.
    int (*restoreImage)();
    // True once the program is exiting: the pictures not yet opened are left. May be null.
    bool (*exiting)();
    // Tells the user why a paste or a dropped or chosen file made no window (the main window's
    // status line). May be null.
    void (*report)(const char* text);
};

// Opens each picture file in a new image window titled "%03d %s" (number, bare file name),
// numbers counting from 0 and going on across the files. Files that open no window are
// skipped; with reportTo (a program name) each is reported on standard error, without it
// through requests.report. Returns the number of files opened.
int OpenImageFiles(const std::vector<std::wstring>& paths, const ImageRequests& requests,
                   const char* reportTo = nullptr);

// The i-th dropped file's name; empty when it can't be read or does not fit QIV_LONG_PATH (cut,
// it would name another file).
std::wstring DroppedFileName(HDROP drop, UINT i);

// WM_DROPFILES on the main window: every dropped file as above, then DragFinish.
void DropFilesOnMainWindow(HDROP drop, const ImageRequests& requests);

// The files named on the command line, as if dropped, each unreadable one reported on
// standard error. Returns the number opened.
int OpenCommandLineFiles(const ImageRequests& requests);

// Paste on the main window: the clipboard's picture in the lowest free image window, titled
// "%03d". Does nothing without a picture; the caller ignores Paste while a program runs. A
// picture that gets no window (too large for the screen, no free number) is reported.
void PasteOnMainWindow(const ImageRequests& requests);
