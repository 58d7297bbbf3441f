// Shell and common-dialog subset: dropped files, the command line, the file, colour and font
// dialogs, the clipboard and global memory blocks.
#pragma once

#include "platform/win32_gdi.h"
#include "platform/win32_types.h"

// Dropped files: a window that accepts them receives WM_DROPFILES with an HDROP in wParam.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// index 0xFFFFFFFF gives the number of files; a null buffer gives the length of name index
// (without the terminator); otherwise copies at most size - 1 characters and a terminator and
// returns the number copied.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size);
BOOL DragQueryPoint(HDROP drop, LPPOINT point);
void DragFinish(HDROP drop);

// The command line of the process, quoted so that CommandLineToArgvW splits it back into the
// program's arguments. CommandLineToArgvW returns one block that LocalFree releases.
LPWSTR GetCommandLineW();
LPWSTR* CommandLineToArgvW(LPCWSTR cmdLine, int* numArgs);
HLOCAL LocalFree(HLOCAL mem);

// Common file dialogs. lpstrFilter holds pairs of (description, pattern) strings, each ended
// by a terminator, the list by a second one; patterns are separated by ';'.
using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex; // 1-based; in: the filter shown first, out: the one in use
    LPWSTR lpstrFile;   // in: the initial file name; out: the chosen full path
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;    // out: where the file name starts in lpstrFile
    WORD nFileExtension; // out: where the extension starts (after the '.'), 0 without one
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000

// FALSE when cancelled, or when the chosen path does not fit nMaxFile (CommDlgExtendedError
// then answers FNERR_BUFFERTOOSMALL).
BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn);
DWORD CommDlgExtendedError();
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_BUFFERTOOSMALL 0x3003

// The colour dialog. With CC_RGBINIT it starts at rgbResult; lpCustColors points at the 16
// custom colours, which the dialog may change (also when cancelled). TRUE and rgbResult on OK.
using LPCCHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
struct CHOOSECOLORW {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors;
    DWORD Flags;
    LPARAM lCustData;
    LPCCHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
};
using LPCHOOSECOLORW = CHOOSECOLORW*;
#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
BOOL ChooseColorW(LPCHOOSECOLORW cc);

// The font dialog. With CF_INITTOLOGFONTSTRUCT it starts at *lpLogFont; on OK it fills
// *lpLogFont (lfHeight negative: the character height in pixels), iPointSize (tenths of a
// point), rgbColors (with CF_EFFECTS) and nFontType, and returns TRUE.
using LPCFHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
struct CHOOSEFONTW {
    DWORD lStructSize;
    HWND hwndOwner;
    HDC hDC;
    LPLOGFONTW lpLogFont;
    INT iPointSize;
    DWORD Flags;
    COLORREF rgbColors;
    LPARAM lCustData;
    LPCFHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    HINSTANCE hInstance;
    LPWSTR lpszStyle;
    WORD nFontType;
    WORD alignment;
    INT nSizeMin;
    INT nSizeMax;
};
using LPCHOOSEFONTW = CHOOSEFONTW*;
#define CF_SCREENFONTS 0x00000001
#define CF_INITTOLOGFONTSTRUCT 0x00000040
#define CF_EFFECTS 0x00000100
#define CF_ANSIONLY 0x00000400
#define SCREEN_FONTTYPE 0x2000
BOOL ChooseFontW(LPCHOOSEFONTW cf);

// Global memory blocks, as the clipboard exchanges them. Blocks never move here; a handle
// stays valid until GlobalFree.
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE GMEM_SHARE
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
std::size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem); // null on success, mem when it is not a live block

// The clipboard, exchanged with the desktop's. CF_DIB blocks are validated when set and when
// read: a malformed one is refused.
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_DIB 8
#define CF_UNICODETEXT 13

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard takes the handle over on success (a global block, or an HBITMAP for
// CF_BITMAP); on failure the caller keeps it. Null on failure.
HANDLE SetClipboardData(UINT format, HANDLE data);
// Owned by the clipboard and valid until it is closed.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// Copies of bitmaps (IMAGE_BITMAP only): LR_CREATEDIBSECTION makes a DIB section; width and
// height 0 keep the size.
#define IMAGE_BITMAP 0
#define LR_DEFAULTCOLOR 0x0000
#define LR_COPYRETURNORG 0x0004
#define LR_COPYDELETEORG 0x0008
#define LR_CREATEDIBSECTION 0x2000
HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags);
