// Shell and common-dialog subset: dropped files, the command line, the file dialogs, the
// clipboard and global memory blocks.
#pragma once

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
