// Entry points through which the desktop backend hands user input and desktop changes to the
// owning threads' queues. Called on the GUI thread.
#pragma once

#include "platform/user/thread_queue.h"
#include "platform/win32_user.h"

#include <string>
#include <vector>

namespace platform {

// Posts an input message carrying the input state of its time (and, for WM_KEYDOWN, the text
// the key produces for TranslateMessage).
bool PostInputMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                      const InputState& input, const std::wstring& keyText = {});

// The desktop put a top-level window at `frame` (not a change this layer asked for).
void PostUserGeometry(HWND hwnd, const RECT& frame, const InputState& input);

// Files dropped on a window that accepts them: posts WM_DROPFILES with a new HDROP.
bool PostDroppedFiles(HWND hwnd, const std::vector<std::wstring>& files, POINT clientPoint);

// Class style of a window (for CS_DBLCLKS), 0 when it is not a live window.
UINT ClassStyleOfWindow(HWND hwnd);

// Geometry as the table has it, for the backend to compare desktop changes against.
bool GetWindowRecordRect(HWND hwnd, RECT* rect, int* clientWidth, int* clientHeight);

} // namespace platform
