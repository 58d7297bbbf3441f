// Reading the window layout and writing it out as source. The source grows as needed: every
// window fits, however many there are and however long their texts.
#include "textwin/window_layout.h"

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "imagewin/image_window.h"
#include "runtime/text_convert.h"
#include "textwin/text_internal.h"

#include "platform/win32.h"

#include <cstdio>

namespace {

constexpr int TEXT_CHARS = 256; // a label or caption is read up to 255 characters

std::string WindowTextOf(HWND hwnd) {
    wchar_t wide[TEXT_CHARS] = {};
    GetWindowTextW(hwnd, wide, TEXT_CHARS);
    char narrow[TEXT_CHARS * 4];
    WideToUtf8(wide, narrow, sizeof narrow);
    return narrow;
}

RECT FrameOf(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

// A C string literal's contents.
void AppendLiteral(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
            break;
        }
    }
}

// printf into a string of any length.
template <typename... Args>
void AppendFormat(std::string& out, const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) {
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(length) + 1);
    std::snprintf(out.data() + at, static_cast<std::size_t>(length) + 1, format, args...);
    out.resize(at + static_cast<std::size_t>(length));
}

const char* CreateCallOf(const LayoutImageWindow& w) {
    if (w.bits == 8) {
        return w.limitMode ? "QIV_CreateImage8" : "QIV_CreateImage8FL";
    }
    return w.limitMode ? "QIV_CreateImage" : "QIV_CreateImageFL";
}

} // namespace

WindowLayout ReadWindowLayout() {
    WindowLayout layout;
    for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
        const ImageWindowRecord& r = qiv_image[n];
        if (!r.inUse) {
            continue;
        }
        const RECT frame = FrameOf(r.hwnd);
        layout.images.push_back({n, r.bits, r.limitMode, static_cast<int>(frame.left),
                                 static_cast<int>(frame.top), r.width, r.height, r.zoom,
                                 r.title ? r.title : ""});
    }
    for (int n = 0; n < QIV_TEXT_WINDOWS; ++n) {
        // The window is asked for its place outside the slot's lock: the desktop answers on
        // the main thread, which may be waiting for that lock to print.
        HWND hwnd = TextWindowHandle(n);
        if (!hwnd) {
            continue;
        }
        int width;
        int height;
        {
            std::lock_guard lock(textwin::SlotLock(n));
            width = qiv_text[n].width;
            height = qiv_text[n].height;
        }
        const RECT frame = FrameOf(hwnd);
        layout.texts.push_back(
            {n, static_cast<int>(frame.left), static_cast<int>(frame.top), width, height});
    }
    const InputBoxState& ib = qiv_inputBox;
    if (ib.window) {
        const RECT frame = FrameOf(ib.window);
        layout.inputBox.open = true;
        layout.inputBox.x = frame.left;
        layout.inputBox.y = frame.top;
        layout.inputBox.items = ib.items;
        layout.inputBox.isize = ib.ISIZE;
        layout.inputBox.esize = ib.ESIZE;
        for (int i = 0; i < ib.items; ++i) {
            layout.inputBox.labels.push_back(WindowTextOf(ib.label[i]));
        }
    }
    const ButtonBoxState& bb = qiv_buttonBox;
    if (bb.window) {
        const RECT frame = FrameOf(bb.window);
        RECT client = {};
        GetClientRect(bb.window, &client);
        layout.buttonBox.open = true;
        layout.buttonBox.x = frame.left;
        layout.buttonBox.y = frame.top;
        layout.buttonBox.nx = bb.nx;
        layout.buttonBox.ny = bb.ny;
        layout.buttonBox.width = client.right - client.left;
        layout.buttonBox.height = client.bottom - client.top;
        for (int i = 0; i < bb.count; ++i) {
            layout.buttonBox.captions.push_back(WindowTextOf(bb.button[i]));
        }
    }
    return layout;
}

std::string LayoutSource(const WindowLayout& layout) {
    std::string out = "\t// QIVLIB --- Automatic Source Generator\n";
    if (!layout.images.empty()) {
        out += "\t// [Image Window]\n";
    }
    for (const LayoutImageWindow& w : layout.images) {
        AppendFormat(out, "\t%s(%d,\"", CreateCallOf(w), w.number);
        AppendLiteral(out, w.title);
        AppendFormat(out, "\",%d,%d,%d,%d,%d);\n", w.x, w.y, w.width, w.height, w.zoom);
    }
    out += "\t// [Text Window]\n";
    for (const LayoutTextWindow& w : layout.texts) {
        AppendFormat(out, "\tQIV_OpenTextWindow(%d,%d,%d,%d,%d);\n", w.number, w.x, w.y, w.width,
                     w.height);
    }
    const LayoutInputBox& ib = layout.inputBox;
    if (ib.open) {
        out += "\t// [Input Box]\n";
        AppendFormat(out, "\tQIV_OpenInputBox(%d,%d,%d);\n", ib.x, ib.y, ib.items);
        AppendFormat(out, "\tQIV_ResizeInputBox(%d,%d);\n", ib.isize, ib.esize);
        for (std::size_t i = 0; i < ib.labels.size(); ++i) {
            AppendFormat(out, "\tQIV_SetInputBoxTitle(%d,\"", static_cast<int>(i));
            AppendLiteral(out, ib.labels[i]);
            out += "\");\n";
        }
    }
    const LayoutButtonBox& bb = layout.buttonBox;
    if (bb.open) {
        out += "\t// [Button Box]\n";
        AppendFormat(out, "\tQIV_OpenButtonBox(%d,%d,%d,%d);\n", bb.x, bb.y, bb.nx, bb.ny);
        AppendFormat(out, "\tQIV_ResizeButtonBox(%d,%d);\n", bb.width, bb.height);
        for (std::size_t i = 0; i < bb.captions.size(); ++i) {
            AppendFormat(out, "\tQIV_SetButtonBoxTitle(%d,\"", static_cast<int>(i));
            AppendLiteral(out, bb.captions[i]);
            out += "\");\n";
        }
    }
    out += "\tQIV_SetForeground(QIVMAINWINDOW);\n";
    return out;
}
