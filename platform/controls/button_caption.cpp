#include "platform/controls/button_caption.h"

namespace platform::controls {
namespace {

void Wrap(const std::wstring& line, int width,
          const std::function<int(const std::wstring&)>& measure, std::vector<std::wstring>* out) {
    std::wstring current;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t end = line.find(L' ', i);
        if (end == std::wstring::npos) {
            end = line.size();
        }
        std::wstring word = line.substr(i, end - i);
        std::wstring joined = current.empty() ? word : current + L' ' + word;
        if (!current.empty() && measure(joined) > width) {
            out->push_back(current);
            current = word;
        } else {
            current = joined;
        }
        i = end + 1;
    }
    out->push_back(current);
}

} // namespace

std::vector<std::wstring> CaptionLines(const std::wstring& caption, bool multiline, int width,
                                       const std::function<int(const std::wstring&)>& measure) {
    std::vector<std::wstring> lines;
    if (!multiline) {
        std::wstring one;
        for (wchar_t c : caption) {
            if (c == L'\n') {
                one += L' ';
            } else if (c != L'\r') {
                one += c;
            }
        }
        lines.push_back(one);
        return lines;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t end = caption.find(L'\n', start);
        std::wstring line =
            caption.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        Wrap(line, width, measure, &lines);
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

} // namespace platform::controls
