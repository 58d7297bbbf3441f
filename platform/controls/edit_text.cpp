#include "platform/controls/edit_text.h"

#include <algorithm>

namespace platform::controls {

void EditText::Replace(const std::wstring& with) {
    int start = SelectionStart();
    text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(SelectionEnd() - start),
                 with);
    caret = anchor = start + static_cast<int>(with.size());
}

void EditText::DeleteBackward() {
    if (!HasSelection()) {
        if (caret == 0) {
            return;
        }
        anchor = caret - 1;
    }
    Replace(std::wstring());
}

void EditText::DeleteForward() {
    if (!HasSelection()) {
        if (caret >= static_cast<int>(text.size())) {
            return;
        }
        anchor = caret + 1;
    }
    Replace(std::wstring());
}

void EditText::MoveTo(int position, bool extend) {
    caret = std::clamp(position, 0, static_cast<int>(text.size()));
    if (!extend) {
        anchor = caret;
    }
}

void EditText::SetSelection(int start, int end) {
    int length = static_cast<int>(text.size());
    if (start == -1) {
        anchor = caret;
        return;
    }
    if (end < 0 || end > length) {
        end = length;
    }
    anchor = std::clamp(start, 0, length);
    caret = end;
}

void EditText::Reset(const std::wstring& newText) {
    text = newText;
    anchor = caret = 0;
}

int ScrollForCaret(int scroll, int caretX, int textWidth, int visible) {
    visible = std::max(visible, 1);
    if (caretX - scroll > visible) {
        scroll = caretX - visible;
    }
    if (caretX < scroll) {
        scroll = caretX;
    }
    // Scroll back as far as the text allows, so a shortened text does not leave a gap.
    scroll = std::min(scroll, std::max(textWidth - visible, 0));
    return std::max(scroll, 0);
}

} // namespace platform::controls
