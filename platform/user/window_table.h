// The window table: every window of the process is a slot here, and an HWND is an opaque id
// (slot index + generation), never a pointer. A stale handle names a freed or reused slot
// with another generation and is rejected everywhere. One mutex guards the whole table;
// window procedures are always called with it released.
#pragma once

#include "platform/win32_user.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class ThreadQueue;

// Pixels that the desktop shows for a client area (0x00RRGGBB, top-down rows).
struct SurfaceData {
    std::mutex mutex;
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    COLORREF background = 0; // fill for newly exposed parts
    bool fill = false;       // false for a class without a background brush
};

// Built-in control classes whose widgets the backend provides. EDIT and BUTTON are drawn on
// their own client surfaces by procedures of platform/controls/ and count as None here.
enum class ControlKind { None, Static };

struct WindowRecord {
    bool inUse = false;
    std::uint32_t generation = 0;
    HWND self = nullptr;
    // Creation order: dialog navigation walks sibling controls in the order they were made,
    // which slot order does not keep once slots are reused.
    std::uint64_t serial = 0;
    std::wstring className;
    WNDPROC proc = nullptr;
    UINT classStyle = 0;
    HBRUSH background = nullptr;
    ControlKind control = ControlKind::None;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr; // children: the parent window
    HWND owner = nullptr;  // top-level windows: the owner window
    UINT_PTR id = 0;       // children: the control id
    HMENU menu = nullptr;  // top-level windows: the menu bar
    DWORD threadId = 0;
    std::shared_ptr<ThreadQueue> queue;
    // Top-level windows: the outer (frame) rectangle in screen coordinates. Children: the
    // rectangle in the parent's client coordinates.
    RECT rect = {};
    int clientWidth = 0;
    int clientHeight = 0;
    bool visible = false;
    bool enabled = true;
    bool destroying = false;
    bool acceptFiles = false;
    // Painting: the pending update rectangle (client coordinates).
    bool invalid = false;
    bool erasePending = false;
    RECT updateRect = {};
    std::shared_ptr<SurfaceData> surface;
};

constexpr int MAX_WINDOWS = 4096;

// Locks the table for a block of lookups.
std::unique_lock<std::mutex> LockWindowTable();
// The record of a live window; the table must be locked. Null for stale or foreign handles.
WindowRecord* FindWindowRecord(HWND hwnd);
// Claims a free slot (table locked); null when all are taken.
WindowRecord* AllocateWindowRecord();
// Frees the slot (table locked); its handle becomes stale.
void FreeWindowRecord(WindowRecord* record);
// All live windows matching a predicate, in slot order (takes the lock itself).
template <typename Predicate>
std::vector<HWND> CollectWindows(Predicate predicate);
WindowRecord* WindowSlots();

// A handle that names a window of another process found by FindWindowW; it is non-null but
// no call here accepts it.
HWND ForeignWindowHandle(int processId);

// Convenience readers; false or defaults when hwnd is not a live window.
bool IsOwnedByCurrentThread(HWND hwnd);
std::shared_ptr<ThreadQueue> QueueOfWindow(HWND hwnd);
WNDPROC ProcOfWindow(HWND hwnd);
std::shared_ptr<SurfaceData> SurfaceOfWindow(HWND hwnd);

template <typename Predicate>
std::vector<HWND> CollectWindows(Predicate predicate) {
    std::vector<HWND> result;
    auto lock = LockWindowTable();
    WindowRecord* windowTable = WindowSlots();
    for (int i = 0; i < MAX_WINDOWS; ++i) {
        if (windowTable[i].inUse && predicate(windowTable[i])) {
            result.push_back(windowTable[i].self);
        }
    }
    return result;
}

} // namespace platform
