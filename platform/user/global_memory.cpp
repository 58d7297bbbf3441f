// Global memory blocks. A handle is the address of a block that the registry knows, so a
// stale or foreign handle is refused instead of being followed.
#include "platform/win32_shell.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    void* data = nullptr;
    std::size_t size = 0;
    int locks = 0;
};

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}
// Never destroyed: blocks the clipboard still owns at exit stay known, as on a live desktop.
std::unordered_map<HGLOBAL, Block>& Registry() {
    static auto* blocks = new std::unordered_map<HGLOBAL, Block>;
    return *blocks;
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
    // One extra byte, so that a zero-sized block still has an address of its own.
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes + 1, 1) : std::malloc(bytes + 1);
    if (data == nullptr) {
        return nullptr;
    }
    std::lock_guard lock(RegistryMutex());
    Registry()[data] = Block{data, bytes, 0};
    return data;
}

LPVOID GlobalLock(HGLOBAL mem) {
    std::lock_guard lock(RegistryMutex());
    auto it = Registry().find(mem);
    if (it == Registry().end()) {
        return nullptr;
    }
    ++it->second.locks;
    return it->second.data;
}

BOOL GlobalUnlock(HGLOBAL mem) {
    std::lock_guard lock(RegistryMutex());
    auto it = Registry().find(mem);
    if (it == Registry().end() || it->second.locks == 0) {
        return FALSE;
    }
    return --it->second.locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL mem) {
    std::lock_guard lock(RegistryMutex());
    auto it = Registry().find(mem);
    return it == Registry().end() ? 0 : it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    void* data = nullptr;
    {
        std::lock_guard lock(RegistryMutex());
        auto it = Registry().find(mem);
        if (it == Registry().end()) {
            return mem;
        }
        data = it->second.data;
        Registry().erase(it);
    }
    std::free(data);
    return nullptr;
}
