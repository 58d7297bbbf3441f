// Named mutexes across the processes of one user. Each name is a lock file in the runtime
// directory; its holder keeps an exclusive flock() on it, which the kernel drops when the holder
// dies, so a crashed process never keeps a name. Creating a held name gives a handle that owns
// nothing and ERROR_ALREADY_EXISTS, as Win32 does for a mutex that exists.
#include "platform/user/internal.h"
#include "platform/user/text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct NamedMutex {
    int fd = -1; // open and locked while this handle holds the name
};

std::mutex handlesMutex;
std::set<NamedMutex*> handles;
thread_local DWORD lastError = 0;

std::string MutexPath(const std::wstring& name) {
    const std::string dir = platform::RuntimeDirectory();
    if (dir.empty()) {
        return {};
    }
    std::string path = dir + "/mutex-";
    char hex[3];
    for (unsigned char c : platform::WideToUtf8(name)) {
        std::snprintf(hex, sizeof hex, "%02x", c);
        path += hex;
    }
    return path.size() > 4000 ? std::string() : path + ".lock";
}

} // namespace

HANDLE CreateMutexW(void*, BOOL, LPCWSTR name) {
    lastError = 0;
    auto* mutex = new NamedMutex;
    if (name != nullptr && name[0] != L'\0') {
        const std::string path = MutexPath(name);
        int fd =
            path.empty() ? -1 : open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
            mutex->fd = fd;
        } else {
            if (fd >= 0) {
                lastError = errno == EWOULDBLOCK ? ERROR_ALREADY_EXISTS : 5; // ERROR_ACCESS_DENIED
                close(fd);
            } else {
                lastError = 5;
            }
        }
    }
    std::lock_guard lock(handlesMutex);
    handles.insert(mutex);
    return mutex;
}

BOOL CloseHandle(HANDLE handle) {
    auto* mutex = static_cast<NamedMutex*>(handle);
    {
        std::lock_guard lock(handlesMutex);
        if (handles.erase(mutex) == 0) {
            lastError = 6; // ERROR_INVALID_HANDLE
            return FALSE;
        }
    }
    if (mutex->fd >= 0) {
        close(mutex->fd); // drops the lock; the file stays for the next holder
    }
    delete mutex;
    return TRUE;
}

DWORD GetLastError() {
    return lastError;
}
