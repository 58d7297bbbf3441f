// Image files and the clipboard: loading pictures into the current image window, saving it in
// five formats, the open and save dialogs, copy and paste, and files dropped on a window.
#pragma once

#include "platform/win32.h"

#include <cstdint>

// The buffer AskOpenImageFile, AskSaveImageFile and AppendExtension fill: 259 bytes of path.
constexpr int QIV_PATH_SIZE = 260;
// Room for any path the system takes (4095 bytes and the terminator). Loading, saving, drops
// and the framework's own dialogs take paths this long.
constexpr int QIV_LONG_PATH = 4096;

// Remembered between dialogs. The folders start as the current directory (set at start-up by
// ResetImageFileSettings); the filter indexes are 1-based.
extern char lastLoadDir[QIV_LONG_PATH];
extern char lastSaveDir[QIV_LONG_PATH];
extern int openFilterIndex;
extern int saveFilterIndex;
extern int jpegQuality; // 0..100, used for every JPEG save

// Start-up: both folders = the current directory, filter indexes 2, quality 100.
void ResetImageFileSettings();
// GDI+ started (then ResetImageFileSettings) at start-up, and shut down with the program.
void StartImageCodecs();
void StopImageCodecs();

// Draws the picture in path (UTF-8) into the current image window with its top-left corner at
// (x, y), clipped; an 8-bit window first takes over the picture's palette. The window is not
// invalidated. 0; 1 the file is not a picture (or has no pixels); 2 no valid current window.
int QIV_LoadImage(const char* path, int x, int y);

// Writes the top-left width × height pixels of the current image window (black beyond its
// edges) as format 0 BMP, 1 JPEG (quality jpegQuality), 2 GIF, 3 PNG, 4 TIFF to path, adding
// the format's extension unless the path already ends in it. 8-bit windows write 8-bit files
// with their colour table (JPEG: 24 bits). 0; 1 the file could not be written (or no such
// format); 2 width or height is 0; 3 no valid current window.
int QIV_SaveImage(int width, int height, int format, const char* path);

// Copies a w × h rectangle at (x, y) of the current image window into dst (32-bit words or
// bytes by the window's depth, rows unpadded); pixels outside the image read 0.
void CopyImageRect(void* dst, int x, int y, int w, int h);

// The class id of the first encoder with exactly this MIME type; untouched if none.
void FindImageEncoder(const WCHAR* mimeType, CLSID* clsid);

// Appends extension (".jpg") to path (room for QIV_PATH_SIZE) unless the path's last four
// characters, lower-cased, contain it.
void AppendExtension(WCHAR* path, const WCHAR* extension);

// The open and save dialogs: 0 and the chosen path (UTF-8, QIV_PATH_SIZE bytes) in path; 1
// when cancelled, or when the chosen path does not fit (it would name another file). They
// remember the folder and the filter.
int AskOpenImageFile(char* path);
int AskSaveImageFile(char* path);
// The same dialogs for a path buffer of size bytes (QIV_LONG_PATH takes any path).
int AskOpenImagePath(char* path, int size);
int AskSaveImagePath(char* path, int size);

// "Save as" of the image window menu, after AskSaveImageFile: saves the whole current image
// window in the format of the save dialog's filter (1 or 2 BMP, 3 JPEG at quality 100 whatever
// jpegQuality holds, 4 GIF, 5 PNG, 6 TIFF). The result of QIV_SaveImage.
int SaveImageByFilter(int filterIndex, const char* path);
// AskSaveImageFile, then SaveImageByFilter with the filter chosen; -1 when cancelled.
int SaveImageAs();

// Puts window n on the clipboard as one CF_DIB: 24 bits for 32-bit windows, 8 bits with the
// colour table for 8-bit ones.
void CopyImageToClipboard(int n);

// A bitmap of the clipboard's picture, owned by the caller (null when there is none or the
// clipboard's block is malformed). colors receives up to 256 table entries (0x00RRGGBB) of
// pictures with a colour table, and *count their number.
HBITMAP ReadClipboardBitmap(std::uint32_t* colors, int* count);

// Pastes the clipboard's picture into window n at (x, y), clipped; x or y = -1 lets the user
// click the picture's centre (a cancelled or stopped placement pastes nothing). Table entries
// from the clipboard replace the window's first entries.
void PasteFromClipboard(int n, int x, int y);

// Worker side of the paste request: copies the whole bitmap to (0, 0) of the current image
// window and deletes it. No invalidation.
void PasteBitmap(HBITMAP bitmap);

// WM_DROPFILES on an image window: loads the first file at (0, 0), shows it and finishes the
// drop. Returns 0 (the message's result).
LRESULT DropOnImageWindow(HWND hwnd, HDROP drop);
