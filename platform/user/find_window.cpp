// FindWindowW, across the processes of one user.
//
// While a process has a top-level window of a class, it holds a shared flock() on a file named
// after the class in a per-user runtime directory. A lookup that finds no such window of its
// own tries a non-blocking exclusive lock on that file: if the lock is refused, another live
// process holds the class. The kernel drops the locks of a process that dies, so a crashed
// process never leaves a stale entry.
#include "platform/user/internal.h"
#include "platform/user/text.h"
#include "platform/user/window_table.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

struct Announcement {
    int count = 0;
    int fd = -1;
};

std::mutex announceMutex;
std::map<std::wstring, Announcement> announced;

std::wstring FoldCase(const std::wstring& name) {
    std::wstring folded = name;
    for (wchar_t& c : folded) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return folded;
}

} // namespace

std::string RuntimeDirectory() {
    static const std::string directory = [] {
        std::string base;
        const char* xdg = std::getenv("XDG_RUNTIME_DIR");
        if (xdg && xdg[0] == '/') {
            base = std::string(xdg) + "/qivlib-windows";
        } else {
            base = "/tmp/qivlib-windows-" + std::to_string(getuid());
        }
        mkdir(base.c_str(), 0700);
        struct stat info;
        if (lstat(base.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
            (info.st_mode & 0077) != 0) {
            return std::string();
        }
        return base;
    }();
    return directory;
}

namespace {

// The class name in hex, so that any name makes a safe file name.
std::string LockPath(const std::wstring& className) {
    std::string dir = RuntimeDirectory();
    if (dir.empty()) {
        return {};
    }
    std::string utf8 = WideToUtf8(FoldCase(className));
    std::string path = dir + "/class-";
    char hex[3];
    for (unsigned char c : utf8) {
        std::snprintf(hex, sizeof hex, "%02x", c);
        path += hex;
    }
    return path + ".lock";
}

bool AnotherProcessHolds(const std::wstring& className) {
    std::string path = LockPath(className);
    if (path.empty() || path.size() > 4000) {
        return false;
    }
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    bool held = false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        held = errno == EWOULDBLOCK;
    } else {
        flock(fd, LOCK_UN);
    }
    close(fd);
    return held;
}

} // namespace

void AnnounceTopLevelClass(const std::wstring& className) {
    std::lock_guard lock(announceMutex);
    Announcement& a = announced[FoldCase(className)];
    if (a.count++ > 0) {
        return;
    }
    std::string path = LockPath(className);
    if (path.empty() || path.size() > 4000) {
        return;
    }
    a.fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (a.fd >= 0 && flock(a.fd, LOCK_SH) != 0) {
        close(a.fd);
        a.fd = -1;
    }
}

void WithdrawTopLevelClass(const std::wstring& className) {
    std::lock_guard lock(announceMutex);
    auto it = announced.find(FoldCase(className));
    if (it == announced.end()) {
        return;
    }
    if (--it->second.count <= 0) {
        if (it->second.fd >= 0) {
            close(it->second.fd);
        }
        announced.erase(it);
    }
}

} // namespace platform

using namespace platform;

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    if (!className && !windowName) {
        return nullptr;
    }
    std::wstring cls = className ? FoldCase(className) : std::wstring();
    std::vector<HWND> own = CollectWindows([&](const WindowRecord& r) {
        if ((r.style & WS_CHILD) || r.destroying) {
            return false;
        }
        if (className && FoldCase(r.className) != cls) {
            return false;
        }
        return !windowName || r.text == windowName;
    });
    if (!own.empty()) {
        return own.front();
    }
    // Titles of other processes' windows are not published; only a class lookup crosses.
    if (className && !windowName && AnotherProcessHolds(className)) {
        return ForeignWindowHandle(0);
    }
    return nullptr;
}
