// Dropped files: HDROP blocks and WM_DROPFILES.
#include "platform/user/backend.h"
#include "platform/user/desktop_state.h"
#include "platform/user/events.h"
#include "platform/user/internal.h"
#include "platform/user/window_table.h"
#include "platform/win32_shell.h"

#include <algorithm>
#include <cwchar>
#include <mutex>
#include <set>

namespace platform {
namespace {

struct DropData {
    std::vector<std::wstring> files;
    POINT point;
};

// Live HDROPs; a handle not in the set (finished, or made up) is refused, never dereferenced.
std::mutex dropMutex;
std::set<DropData*> liveDrops;

} // namespace

bool PostDroppedFiles(HWND hwnd, const std::vector<std::wstring>& files, POINT clientPoint) {
    auto* data = new DropData{files, clientPoint};
    {
        std::lock_guard lock(dropMutex);
        liveDrops.insert(data);
    }
    auto drop = reinterpret_cast<HDROP>(data);
    if (!PostInputMessage(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0,
                          GetAsyncInputState())) {
        DragFinish(drop);
        return false;
    }
    return true;
}

void ReleaseMessageResources(const MSG& msg) {
    if (msg.message == WM_DROPFILES) {
        DragFinish(reinterpret_cast<HDROP>(msg.wParam));
    }
}

} // namespace platform

using namespace platform;

void DragAcceptFiles(HWND hwnd, BOOL accept) {
    {
        auto lock = LockWindowTable();
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record) {
            return;
        }
        record->acceptFiles = accept != FALSE;
    }
    backend::ApplyAcceptDrops(hwnd);
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size) {
    std::lock_guard lock(dropMutex);
    auto* data = reinterpret_cast<DropData*>(drop);
    if (!liveDrops.count(data)) {
        return 0;
    }
    if (index == 0xFFFFFFFFu) {
        return static_cast<UINT>(data->files.size());
    }
    if (index >= data->files.size()) {
        return 0;
    }
    const std::wstring& name = data->files[index];
    if (!buffer) {
        return static_cast<UINT>(name.size());
    }
    if (size == 0) {
        return 0;
    }
    std::size_t n = std::min<std::size_t>(name.size(), size - 1);
    std::wmemcpy(buffer, name.data(), n);
    buffer[n] = 0;
    return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT point) {
    std::lock_guard lock(dropMutex);
    auto* data = reinterpret_cast<DropData*>(drop);
    if (!point || !liveDrops.count(data)) {
        return FALSE;
    }
    *point = data->point;
    return TRUE;
}

void DragFinish(HDROP drop) {
    auto* data = reinterpret_cast<DropData*>(drop);
    {
        std::lock_guard lock(dropMutex);
        if (!liveDrops.erase(data)) {
            return;
        }
    }
    delete data;
}
