// Log files of the text windows: everything printed into a window and every line typed in it,
// while its log runs. The file is QIVLIB<instance><window>.LOG in the start directory; lines
// end with a plain line feed, as text files do here.
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "textwin/text_commands.h"
#include "textwin/text_internal.h"

#include "platform/win32.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using namespace textwin;

bool InRange(int n) {
    return n >= 0 && n < QIV_TEXT_WINDOWS;
}

// The file's size, or -1 when it cannot be told or could not be held in memory with a
// terminator.
long long FileSize(FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const off_t size = ftello(file);
    std::rewind(file);
    if (size < 0 || static_cast<std::uint64_t>(size) >= SIZE_MAX / 2) {
        return -1;
    }
    return size;
}

// The whole file on the clipboard as text: 0, 2 (file cannot be read) or 3 (no memory). The
// clipboard is open.
int PutFileOnClipboard(const std::string& name) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) {
        return 2;
    }
    EmptyClipboard();
    int result = 3;
    const long long size = FileSize(file);
    HGLOBAL block =
        size >= 0 ? GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, static_cast<std::size_t>(size) + 1)
                  : nullptr;
    if (auto* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr) {
        const std::size_t got = std::fread(bytes, 1, static_cast<std::size_t>(size), file);
        bytes[got] = 0;
        GlobalUnlock(block);
        if (SetClipboardData(CF_TEXT, block)) {
            block = nullptr; // the clipboard owns it now
        }
        result = 0;
    }
    if (block) {
        GlobalFree(block);
    }
    std::fclose(file);
    return result;
}

} // namespace

namespace textwin {

void CloseLog(TextWindowRecord& t) {
    if (t.logFile) {
        std::fclose(t.logFile);
    }
    t.logFile = nullptr;
    t.logState = 0;
}

} // namespace textwin

std::string LogFileName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "QIVLIB%d%d.LOG", InstanceNumber, n);
    return std::string(qiv_logDir) + name;
}

int QIV_StartLog(int n) {
    if (!InRange(n)) {
        return 3;
    }
    const std::string name = LogFileName(n);
    {
        std::lock_guard lock(SlotLock(n));
        TextWindowRecord& t = qiv_text[n];
        if (!t.open) {
            return 3;
        }
        if (t.logState == 1) {
            return 1;
        }
        if (t.logState == 0) {
            t.logFile = std::fopen(name.c_str(), "w");
        }
        if (t.logFile) {
            t.logState = 1;
            return 0;
        }
    }
    MessageBoxW(nullptr, L"Can't create file for LOG!", L"Error", MB_OK);
    return 2;
}

int QIV_StopLog(int n) {
    if (!InRange(n)) {
        return 2;
    }
    std::lock_guard lock(SlotLock(n));
    TextWindowRecord& t = qiv_text[n];
    if (!t.open) {
        return 2;
    }
    if (t.logState == 0) {
        return 1;
    }
    t.logState = 2;
    return 0;
}

void QIV_CloseLogs() {
    for (int n = 0; n < QIV_TEXT_WINDOWS; ++n) {
        std::lock_guard lock(SlotLock(n));
        if (qiv_text[n].open) {
            CloseLog(qiv_text[n]);
        }
    }
}

int QIV_CopyLog(int n) {
    if (!IsTextWindowOpen(n)) {
        return 4;
    }
    if (!OpenClipboard(nullptr)) {
        return 1;
    }
    {
        // Flushing is enough for the reader below to see every byte written; the file stays
        // open, so nothing printed meanwhile by another thread is lost.
        std::lock_guard lock(SlotLock(n));
        if (qiv_text[n].logFile) {
            std::fflush(qiv_text[n].logFile);
        }
    }
    const int result = PutFileOnClipboard(LogFileName(n));
    CloseClipboard();
    // Told after the clipboard is closed, so the box does not keep it from other programs.
    if (result == 2) {
        QIV_Pause("Can't open LOG file!");
    } else if (result == 3) {
        QIV_Pause("No enough memory (copy log)");
    }
    return result;
}
