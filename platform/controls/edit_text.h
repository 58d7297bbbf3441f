// The text, caret and selection of an edit field, apart from any window: what typing,
// deleting and EM_SETSEL do to them.
#pragma once

#include <string>

namespace platform::controls {

struct EditText {
    std::wstring text;
    int anchor = 0; // the fixed end of the selection
    int caret = 0;  // the moving end, where the caret stands

    int SelectionStart() const { return anchor < caret ? anchor : caret; }
    int SelectionEnd() const { return anchor < caret ? caret : anchor; }
    bool HasSelection() const { return anchor != caret; }

    // Replaces the selection (or inserts at the caret) and leaves the caret after it.
    void Replace(const std::wstring& with);
    // Backspace and Delete: the selection if there is one, else one character.
    void DeleteBackward();
    void DeleteForward();
    // Moves the caret; with extend the anchor stays, otherwise the selection collapses.
    void MoveTo(int position, bool extend);
    // EM_SETSEL: start -1 removes the selection, an end of -1 (or past the text) means the
    // end of the text; the caret goes to the end given.
    void SetSelection(int start, int end);
    // Changes the text as WM_SETTEXT does: caret at the start, no selection.
    void Reset(const std::wstring& newText);
};

// The horizontal scroll (pixels) that keeps caretX visible in a field `visible` pixels wide,
// starting from the present scroll; textWidth lets the field scroll back when text shrinks.
int ScrollForCaret(int scroll, int caretX, int textWidth, int visible);

} // namespace platform::controls
