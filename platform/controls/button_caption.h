// How a button caption falls into lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform::controls {

// Multiline: breaks at "\n" (a "\r" before it is dropped) and wraps each line between words
// where it is wider than `width` (a word wider than the button stays whole). Single line: the
// caption as one line, line breaks shown as blanks.
std::vector<std::wstring> CaptionLines(const std::wstring& caption, bool multiline, int width,
                                       const std::function<int(const std::wstring&)>& measure);

} // namespace platform::controls
