// The edit field's text model and the button caption layout, apart from any window.
#include "platform/controls/button_caption.h"
#include "platform/controls/edit_text.h"

#include <gtest/gtest.h>

using platform::controls::CaptionLines;
using platform::controls::EditText;
using platform::controls::ScrollForCaret;

namespace {

EditText Field(const std::wstring& text, int anchor, int caret) {
    EditText e;
    e.text = text;
    e.anchor = anchor;
    e.caret = caret;
    return e;
}

TEST(EditTextTest, TypingReplacesTheSelectionWhicheverWayItWasMade) {
    EditText e = Field(L"12345", 4, 1); // selected right to left
    e.Replace(L"x");
    EXPECT_EQ(e.text, L"1x5");
    EXPECT_EQ(e.caret, 2);
    EXPECT_FALSE(e.HasSelection());
    e.Replace(L"yz");
    EXPECT_EQ(e.text, L"1xyz5");
    EXPECT_EQ(e.caret, 4);
}

TEST(EditTextTest, DeletingStopsAtTheEnds) {
    EditText e = Field(L"ab", 0, 0);
    e.DeleteBackward();
    EXPECT_EQ(e.text, L"ab");
    e.MoveTo(2, false);
    e.DeleteForward();
    EXPECT_EQ(e.text, L"ab");
    e.DeleteBackward();
    EXPECT_EQ(e.text, L"a");
    EXPECT_EQ(e.caret, 1);
    e = Field(L"abcd", 1, 3);
    e.DeleteForward(); // a selection goes as a whole
    EXPECT_EQ(e.text, L"ad");
    EXPECT_EQ(e.caret, 1);
}

TEST(EditTextTest, SetSelectionFollowsTheMessageRules) {
    EditText e = Field(L"hello", 0, 0);
    e.SetSelection(0, -1);
    EXPECT_EQ(e.SelectionStart(), 0);
    EXPECT_EQ(e.SelectionEnd(), 5);
    e.SetSelection(4, 1); // start after end: the caret goes to the end given
    EXPECT_EQ(e.SelectionStart(), 1);
    EXPECT_EQ(e.SelectionEnd(), 4);
    EXPECT_EQ(e.caret, 1);
    e.SetSelection(-1, 0); // -1 drops the selection and leaves the caret
    EXPECT_FALSE(e.HasSelection());
    EXPECT_EQ(e.caret, 1);
    e.SetSelection(2, 1000); // an end past the text (a byte count, say) means the end
    EXPECT_EQ(e.SelectionEnd(), 5);
    e.SetSelection(-7, 3);
    EXPECT_EQ(e.SelectionStart(), 0);
}

TEST(EditTextTest, MovingCollapsesOrExtendsAndStaysInTheText) {
    EditText e = Field(L"abc", 0, 0);
    e.MoveTo(2, true);
    EXPECT_EQ(e.SelectionEnd(), 2);
    EXPECT_EQ(e.anchor, 0);
    e.MoveTo(99, false);
    EXPECT_EQ(e.caret, 3);
    EXPECT_FALSE(e.HasSelection());
    e.MoveTo(-4, false);
    EXPECT_EQ(e.caret, 0);
}

TEST(EditTextTest, ScrollKeepsTheCaretInViewAndNoGapAtTheEnd) {
    EXPECT_EQ(ScrollForCaret(0, 50, 50, 100), 0);    // fits
    EXPECT_EQ(ScrollForCaret(0, 150, 150, 100), 50); // caret at the end of a long text
    EXPECT_EQ(ScrollForCaret(50, 10, 150, 100), 10); // caret moved back to the left
    EXPECT_EQ(ScrollForCaret(50, 60, 60, 100), 0);   // text shortened: scroll back
    EXPECT_EQ(ScrollForCaret(0, 10, 10, 0), 9);      // a field with no room still shows it
}

int Measure(const std::wstring& s) {
    return static_cast<int>(s.size()) * 10;
}

TEST(ButtonCaptionTest, MultilineBreaksAtLineBreaksAndWrapsWords) {
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(CaptionLines(L"Up\nDown", true, 100, Measure), (Lines{L"Up", L"Down"}));
    EXPECT_EQ(CaptionLines(L"a\r\nb\n", true, 100, Measure), (Lines{L"a", L"b", L""}));
    EXPECT_EQ(CaptionLines(L"one two three", true, 70, Measure), (Lines{L"one two", L"three"}));
    // A single word wider than the button stays whole.
    EXPECT_EQ(CaptionLines(L"abcdefghijkl", true, 50, Measure), (Lines{L"abcdefghijkl"}));
    EXPECT_EQ(CaptionLines(L"Up\nDown", false, 10, Measure), (Lines{L"Up Down"}));
    EXPECT_EQ(CaptionLines(L"", true, 10, Measure), (Lines{L""}));
}

} // namespace
