#include "platform/user/window_table.h"

#include "platform/user/thread_queue.h"

namespace platform {
namespace {

std::mutex tableMutex;
WindowRecord windowTable[MAX_WINDOWS];
constexpr std::uintptr_t FOREIGN_INDEX = 0xFFFF;
std::uint64_t nextSerial = 1;

HWND MakeHandle(int index, std::uint32_t generation) {
    auto value =
        (static_cast<std::uintptr_t>(generation) << 16) | static_cast<std::uintptr_t>(index + 1);
    return reinterpret_cast<HWND>(value);
}

} // namespace

std::unique_lock<std::mutex> LockWindowTable() {
    return std::unique_lock<std::mutex>(tableMutex);
}

WindowRecord* WindowSlots() {
    return windowTable;
}

WindowRecord* FindWindowRecord(HWND hwnd) {
    auto value = reinterpret_cast<std::uintptr_t>(hwnd);
    auto index = static_cast<std::intptr_t>(value & 0xFFFF) - 1;
    if (index < 0 || index >= MAX_WINDOWS) {
        return nullptr;
    }
    WindowRecord& record = windowTable[index];
    if (!record.inUse || record.self != hwnd) {
        return nullptr;
    }
    return &record;
}

WindowRecord* AllocateWindowRecord() {
    for (int i = 0; i < MAX_WINDOWS; ++i) {
        WindowRecord& record = windowTable[i];
        if (!record.inUse) {
            std::uint32_t generation = record.generation + 1;
            if (generation == 0 || generation > 0x7FFFFFFF) {
                generation = 1;
            }
            record = WindowRecord();
            record.inUse = true;
            record.generation = generation;
            record.self = MakeHandle(i, generation);
            record.serial = nextSerial++;
            return &record;
        }
    }
    return nullptr;
}

void FreeWindowRecord(WindowRecord* record) {
    std::uint32_t generation = record->generation;
    *record = WindowRecord();
    record->generation = generation;
}

HWND ForeignWindowHandle(int processId) {
    auto value =
        (static_cast<std::uintptr_t>(static_cast<std::uint32_t>(processId)) << 16) | FOREIGN_INDEX;
    return reinterpret_cast<HWND>(value);
}

bool IsOwnedByCurrentThread(HWND hwnd) {
    DWORD self = GetCurrentThreadId();
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record && record->threadId == self;
}

std::shared_ptr<ThreadQueue> QueueOfWindow(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->queue : nullptr;
}

WNDPROC ProcOfWindow(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->proc : nullptr;
}

std::shared_ptr<SurfaceData> SurfaceOfWindow(HWND hwnd) {
    auto lock = LockWindowTable();
    WindowRecord* record = FindWindowRecord(hwnd);
    return record ? record->surface : nullptr;
}

} // namespace platform
