// The window report: every framework window's place and size printed in colour into a text
// window, and the source that recreates the layout put on the clipboard. This is the
// framework's layout tool: arrange the windows by hand, take the report, paste the source into
// the user program.
#include "textwin/text_commands.h"
#include "textwin/text_window.h"
#include "textwin/window_layout.h"

#include "platform/win32.h"

#include <cstring>

namespace {

constexpr int WHITE = 0xFFFFFF;
constexpr int BLACK = 0x000000;
constexpr int YELLOW = 0xFFFF00;
constexpr int GREEN = 0x00FF00;
constexpr int BITS_COLOR = 0x0080FF;
constexpr int LIMIT_COLOR = 0xFF00FF;
constexpr int NAVY = 0x000080;

template <typename... Args>
void PrintIn(int background, int text, const char* format, Args... args) {
    QIV_PushTextColor(background, text);
    QIV_Printf(format, args...);
    QIV_PopTextColor();
}

void PrintReport(const WindowLayout& layout) {
    PrintIn(BLACK, YELLOW, "%s", "******* Window information *******\n");
    if (!layout.images.empty()) {
        PrintIn(BLACK, GREEN, "%s", "[Image Window]\n");
    }
    for (const LayoutImageWindow& w : layout.images) {
        QIV_Printf(" %d ", w.number);
        PrintIn(BLACK, BITS_COLOR, "%d ", w.bits);
        PrintIn(BLACK, LIMIT_COLOR, "%d ", w.limitMode);
        QIV_Printf(" '%s' X:%d Y:%d W:%d H:%d ZM:%d%%\n", w.title.c_str(), w.x, w.y, w.width,
                   w.height, w.zoom);
    }
    PrintIn(BLACK, GREEN, "%s", "[Text Window]\n");
    for (const LayoutTextWindow& w : layout.texts) {
        QIV_Printf(" %d X:%d Y:%d W:%d H:%d\n", w.number, w.x, w.y, w.width, w.height);
    }
    const LayoutInputBox& ib = layout.inputBox;
    if (ib.open) {
        PrintIn(BLACK, GREEN, "%s", "[Input Box]\n");
        QIV_Printf(" X:%d Y:%d ITEM:%d ", ib.x, ib.y, ib.items);
        QIV_Printf("ISIZE:%d ESIZE:%d\n", ib.isize, ib.esize);
    }
    const LayoutButtonBox& bb = layout.buttonBox;
    if (bb.open) {
        PrintIn(BLACK, GREEN, "%s", "[Button Box]\n");
        QIV_Printf(" X:%d Y:%d NX:%d NY:%d ", bb.x, bb.y, bb.nx, bb.ny);
        QIV_Printf("SIZE:%dx%d\n", bb.width, bb.height);
    }
    PrintIn(BLACK, YELLOW, "%s", "**********************************\n");
}

// Puts the source on the clipboard and confirms it; nothing happens when the clipboard is
// busy.
void CopySource(const std::string& source) {
    if (!OpenClipboard(nullptr)) {
        return;
    }
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, source.size() + 1);
    char* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    if (!bytes) {
        if (block) {
            GlobalFree(block);
        }
        CloseClipboard();
        MessageBoxW(nullptr, L"GlobalAlloc() failed. (ID_INFO)", L"Pause", MB_OK);
        return;
    }
    std::memcpy(bytes, source.c_str(), source.size() + 1);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
    }
    CloseClipboard();
    PrintIn(NAVY, YELLOW, "%s", "クリップボードにレイアウト作成ソースリストを保存しました．\n");
}

} // namespace

void WindowInfoReport(int n) {
    if (QIV_SelectTextWindow(n) != 0) {
        return;
    }
    // Read once before printing: every print pumps, and a window may close meanwhile.
    const WindowLayout layout = ReadWindowLayout();
    QIV_PushTextColor(BLACK, WHITE);
    PrintReport(layout);
    CopySource(LayoutSource(layout));
    QIV_PopTextColor();
}
