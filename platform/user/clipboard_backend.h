// What the clipboard asks of the desktop backend: pictures and text in and out. Every
// function may be called from any thread; without a desktop they fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A picture as the clipboard exchanges it: rgb (0x00RRGGBB, top-down) always; indexed
// pictures also carry their indices and table.
struct ClipboardPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
};

namespace backend {

bool SetClipboardPicture(const ClipboardPicture& picture);
bool SetClipboardText(const std::wstring& text);
bool ClearClipboard();
bool GetClipboardPicture(ClipboardPicture* picture);
bool GetClipboardText(std::wstring* text);
bool ClipboardHasPicture();
bool ClipboardHasText();

} // namespace backend
} // namespace platform
