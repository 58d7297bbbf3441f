// Helpers shared by the files of the messaging core.
#pragma once

#include "platform/user/window_table.h"
#include "platform/win32_user.h"

namespace platform {

// Calls the window's procedure on the calling thread (0 when hwnd is not a live window).
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Frees what a queued message owns when it is dropped undelivered (a WM_DROPFILES HDROP).
void ReleaseMessageResources(const MSG& msg);

// Destroys the windows of a thread that has ended, without calling their procedures.
void ReleaseWindowsOfThread(DWORD threadId);

// Screen position of a window's client origin (table locked).
POINT ClientOriginLocked(const WindowRecord& record);

// Client size for a rectangle of a window with this style and menu.
void ClientSizeForRect(const RECT& rect, DWORD style, bool hasMenu, int* width, int* height);

// The colour a class background brush fills with; *fill is false for a null brush.
COLORREF BackgroundColor(HBRUSH brush, bool* fill);

// Resizes the window's client surface, keeping the overlap and filling the rest.
void ResizeSurface(SurfaceData& surface, int width, int height);

// Applies a new rectangle to a window on its owning thread: updates the table, the surface
// and the desktop, then sends WM_MOVE and WM_SIZE as they apply.
void ApplyWindowRect(HWND hwnd, const RECT& rect, bool moveNative);

// The desktop moved or sized a window: WM_MOVING/WM_SIZING on the owning thread, then the
// corrected rectangle is applied.
void HandleUserGeometry(HWND hwnd, const RECT& proposed);

// A private directory of the user for cross-process lock files; empty when none can be made
// safely.
std::string RuntimeDirectory();

// FindWindowW's cross-process registry: the process announces each class while it has a
// top-level window of it.
void AnnounceTopLevelClass(const std::wstring& className);
void WithdrawTopLevelClass(const std::wstring& className);

} // namespace platform
