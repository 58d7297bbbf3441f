// The input box driven through its window and the real controls.
#include "box_fixture.h"

#include <climits>

using namespace boxtest;
using namespace platform::testing;

namespace {

class InputBoxTest : public BoxTest {
protected:
    HWND Open(int items) {
        QIV_OpenInputBox(100, 100, items);
        PumpBoxes();
        return qiv_inputBox.window;
    }
    HWND Field(int i) { return qiv_inputBox.edit[i]; }
    HWND Label(int i) { return qiv_inputBox.label[i]; }
    // Types into the focused field after selecting its text, as a user replacing a value.
    void Replace(const std::wstring& text) {
        HWND field = GetFocus();
        SendMessageW(field, EM_SETSEL, 0, -1);
        KeyPress(field, VK_DELETE);
        TypeText(field, text);
        PumpBoxes();
    }
};

TEST_F(InputBoxTest, ItemCountIsClampedAndSizesTheBox) {
    HWND box = Open(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(qiv_inputBox.items, 1);
    SIZE client = ClientSize(box);
    EXPECT_EQ(client.cx, 80 + 70 + 12);
    EXPECT_EQ(client.cy, 28 * 1 + 2);
    QIV_DestroyInputBox();
    box = Open(45);
    EXPECT_EQ(qiv_inputBox.items, 30);
    EXPECT_EQ(ClientSize(box).cy, 28 * 30 + 2);
    EXPECT_EQ(TextOf(Label(29)), L"Item 29");
    RECT frame = {};
    GetWindowRect(box, &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 100);
}

TEST_F(InputBoxTest, AFreshBoxShowsItsDefaultsWithTheFirstFieldFocused) {
    HWND box = Open(4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(TextOf(Label(i)), L"Item " + std::to_wstring(i));
        EXPECT_EQ(TextOf(Field(i)), L"0");
    }
    EXPECT_EQ(GetFocus(), Field(0));
    EXPECT_EQ(QIV_GetInputBoxInt(0), 0);
    RECT label = ChildRect(Label(2));
    RECT field = ChildRect(Field(2));
    EXPECT_EQ(label.left, 4);
    EXPECT_EQ(label.top, 28 * 2 + 7);
    EXPECT_EQ(label.right - label.left, 80);
    EXPECT_EQ(field.left, 88);
    EXPECT_EQ(field.top, 28 * 2 + 4);
    EXPECT_EQ(field.right - field.left, 70);
    EXPECT_EQ(field.bottom - field.top, 24);
    EXPECT_EQ(GetParent(box), MainWindow);
}

TEST_F(InputBoxTest, ASecondOpenChangesNothing) {
    HWND box = Open(6);
    QIV_SetInputBoxInt(2, 5);
    RECT before = {};
    GetWindowRect(box, &before);
    QIV_OpenInputBox(0, 0, 3);
    RECT after = {};
    GetWindowRect(box, &after);
    EXPECT_EQ(qiv_inputBox.window, box);
    EXPECT_EQ(qiv_inputBox.items, 6);
    EXPECT_EQ(QIV_GetInputBoxInt(2), 5);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.bottom, before.bottom);
}

TEST_F(InputBoxTest, ABoxDestroyedBehindItsBackForgetsItselfAndOpensAgain) {
    HWND box = Open(3);
    QIV_SetInputBoxInt(1, 7);
    ASSERT_TRUE(DestroyWindow(box)); // as when the worker that owns it ends
    EXPECT_EQ(qiv_inputBox.window, nullptr);
    EXPECT_EQ(qiv_inputBox.text[1], nullptr);
    EXPECT_EQ(QIV_GetInputBoxInt(1), 0);
    box = Open(2);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindow(box));
    EXPECT_EQ(qiv_inputBox.items, 2);
}

TEST_F(InputBoxTest, TypedValuesCountOnlyAfterEnterOrTab) {
    HWND box = Open(3);
    Press(box, VK_TAB);
    ASSERT_EQ(GetFocus(), Field(1));
    TypeText(Field(1), L"12"); // Tab selected the "0", so typing replaces it
    PumpBoxes();
    EXPECT_EQ(TextOf(Field(1)), L"12");
    EXPECT_EQ(QIV_GetInputBoxInt(1), 0);
    Press(box, VK_RETURN);
    EXPECT_EQ(QIV_GetInputBoxInt(1), 12);
    Press(box, VK_TAB);
    Replace(L"-3.75e1");
    EXPECT_EQ(QIV_GetInputBoxDouble(2), 0.0);
    Press(box, VK_TAB); // leaving the field captures it
    EXPECT_EQ(QIV_GetInputBoxDouble(2), -37.5);
    EXPECT_EQ(QIV_GetInputBoxInt(2), -3); // atoi stops at the point
    EXPECT_EQ(GetFocus(), Field(0));
}

TEST_F(InputBoxTest, TabAndShiftTabCycleThroughTheFields) {
    HWND box = Open(3);
    Press(box, VK_TAB);
    EXPECT_EQ(GetFocus(), Field(1));
    Press(box, VK_TAB);
    EXPECT_EQ(GetFocus(), Field(2));
    Press(box, VK_TAB);
    EXPECT_EQ(GetFocus(), Field(0));
    Press(box, VK_TAB, SHIFT);
    EXPECT_EQ(GetFocus(), Field(2));
    EXPECT_EQ(qiv_inputBox.lastFocus, Field(2));
}

TEST_F(InputBoxTest, TextThatIsNotANumberReadsAsAtoiAndAtofWould) {
    HWND box = Open(1);
    const struct {
        const wchar_t* typed;
        int asInt;
        double asDouble;
    } cases[] = {
        {L"abc", 0, 0.0},
        {L"  42xyz", 42, 42.0},
        {L"+7", 7, 7.0},
        {L"", 0, 0.0},
        {L"1e3", 1, 1000.0},
        {L"99999999999", INT_MAX, 99999999999.0}, // saturates instead of overflowing
        {L"-99999999999", INT_MIN, -99999999999.0},
    };
    for (const auto& c : cases) {
        Replace(c.typed);
        Press(box, VK_RETURN);
        EXPECT_EQ(QIV_GetInputBoxInt(0), c.asInt) << "typed case " << (&c - cases);
        EXPECT_EQ(QIV_GetInputBoxDouble(0), c.asDouble);
    }
}

TEST_F(InputBoxTest, SettersWriteTheFieldAndTheValue) {
    Open(3);
    QIV_SetInputBoxDouble(2, 3.0);
    EXPECT_EQ(TextOf(Field(2)), L"3.");
    QIV_SetInputBoxDouble(2, 0.05);
    EXPECT_EQ(TextOf(Field(2)), L"5.e-002");
    EXPECT_DOUBLE_EQ(QIV_GetInputBoxDouble(2), 0.05);
    QIV_SetInputBoxInt(1, -40);
    EXPECT_EQ(TextOf(Field(1)), L"-40");
    EXPECT_EQ(QIV_GetInputBoxInt(1), -40);
    QIV_SetInputBoxTitle(0, "Disparity \xe2\x86\x92"); // UTF-8 arrow
    EXPECT_EQ(TextOf(Label(0)), L"Disparity \u2192");
    QIV_SetInputBoxTitle(0, nullptr);
    EXPECT_EQ(TextOf(Label(0)), L"");
}

TEST_F(InputBoxTest, AClosedBoxOrABadIndexDoesNothing) {
    Open(2);
    QIV_SetInputBoxInt(2, 9);
    QIV_SetInputBoxInt(-1, 9);
    QIV_SetInputBoxTitle(5, "x");
    EXPECT_EQ(QIV_GetInputBoxInt(2), 0);
    EXPECT_EQ(QIV_GetInputBoxDouble(-1), 0.0);
    QIV_SetInputBoxDouble(0, 2.5);
    QIV_DestroyInputBox();
    EXPECT_EQ(qiv_inputBox.window, nullptr);
    EXPECT_EQ(qiv_inputBox.items, 2); // kept after closing
    EXPECT_EQ(QIV_GetInputBoxDouble(0), 0.0);
    EXPECT_EQ(QIV_GetInputBoxInt(0), 0);
    QIV_SetInputBoxDouble(0, 1.0);
    QIV_SetInputBoxTitle(0, "x");
    QIV_FocusInputBox();
    QIV_DestroyInputBox(); // a second destroy is harmless
}

TEST_F(InputBoxTest, FocusSelectsTheFirstFieldWhenPumped) {
    HWND box = Open(2);
    QIV_SetInputBoxInt(0, 1234);
    Press(box, VK_TAB);
    QIV_FocusInputBox();
    EXPECT_EQ(GetFocus(), Field(0));
    PumpBoxes();
    LRESULT sel = SendMessageW(Field(0), EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(sel), 0);
    EXPECT_EQ(HIWORD(sel), 4);
}

TEST_F(InputBoxTest, DraggingTheLeftEdgeSizesLabelsAndOtherEdgesTheFields) {
    HWND box = Open(3);
    RECT frame = {};
    GetWindowRect(box, &frame);
    RECT wider = {frame.left - 30, frame.top, frame.right, frame.bottom + 40};
    DragWindowTo(box, wider);
    ASSERT_TRUE(PumpBoxesUntil([&] { return qiv_inputBox.ISIZE != 80; }));
    EXPECT_EQ(qiv_inputBox.ISIZE, 110);
    EXPECT_EQ(qiv_inputBox.ESIZE, 70);
    EXPECT_EQ(qiv_inputBox.sizingEdge, WMSZ_BOTTOMLEFT);
    EXPECT_EQ(ClientSize(box).cy, 28 * 3 + 2); // the height never changes
    EXPECT_EQ(ChildRect(Label(1)).right - ChildRect(Label(1)).left, 110);
    EXPECT_EQ(ChildRect(Field(1)).left, 118);
    GetWindowRect(box, &frame);
    RECT right = {frame.left, frame.top, frame.right + 20, frame.bottom};
    DragWindowTo(box, right);
    ASSERT_TRUE(PumpBoxesUntil([&] { return qiv_inputBox.ESIZE != 70; }));
    EXPECT_EQ(qiv_inputBox.ISIZE, 110);
    EXPECT_EQ(qiv_inputBox.ESIZE, 90);
    EXPECT_EQ(ChildRect(Field(2)).right - ChildRect(Field(2)).left, 90);
}

TEST_F(InputBoxTest, ResizeGivesBothWidthsNowAndToLaterBoxes) {
    HWND box = Open(2);
    QIV_ResizeInputBox(100, 50);
    PumpBoxes();
    EXPECT_EQ(ClientSize(box).cx, 162);
    EXPECT_EQ(ChildRect(Label(1)).right - ChildRect(Label(1)).left, 100);
    EXPECT_EQ(ChildRect(Field(1)).left, 108);
    EXPECT_EQ(ChildRect(Field(1)).right - ChildRect(Field(1)).left, 50);
    QIV_DestroyInputBox();
    QIV_ResizeInputBox(0, -5); // at least a pixel each
    box = Open(1);
    EXPECT_EQ(ClientSize(box).cx, 1 + 1 + 12);
}

TEST_F(InputBoxTest, TheCaptionMenuOffersOnlyDestroy) {
    HWND box = Open(2);
    AnswerMenuWithId(1023);
    PostMessageW(box, WM_NCRBUTTONDOWN, HTCAPTION, 0);
    ASSERT_TRUE(PumpBoxesUntil([] { return qiv_inputBox.window == nullptr; }));
    auto menus = ShownMenus();
    ASSERT_EQ(menus.size(), 1u);
    ASSERT_EQ(menus[0].items.size(), 1u);
    EXPECT_EQ(menus[0].items[0].text, L"Destroy");
    EXPECT_EQ(menus[0].owner, box);
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(InputBoxTest, RightClickInARowRenamesThatItem) {
    HWND box = Open(4);
    Answer({L"offset"}, false);
    AnswerMenuWithId(1056);
    Click(box, Button::Right, 30, 2 * 28 + 12); // on label 2, which lets clicks through
    ASSERT_TRUE(PumpBoxesUntil([&] { return TextOf(Label(2)) == L"offset"; }));
    EXPECT_EQ(qiv_inputBox.menuItem, 2);
    auto menus = ShownMenus();
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].items[0].text, L"Rename");
    EXPECT_NE(TextWindowHandle(0), nullptr) << "the prompt opened text window 0";
    EXPECT_EQ(CurrentTextWindow.load(), 0);
}

TEST_F(InputBoxTest, DoubleClickOnALabelRenamesAndAnEmptyAnswerKeepsIt) {
    HWND box = Open(5);
    QIV_SetInputBoxInt(3, 8);
    Answer({L"gain", L""});
    DoubleClick(box, Button::Left, 20, 3 * 28 + 14);
    ASSERT_TRUE(PumpBoxesUntil([&] { return TextOf(Label(3)) == L"gain"; }));
    EXPECT_EQ(Printed(), "3 'Item 3' ->gain\n");
    EXPECT_EQ(QIV_GetInputBoxInt(3), 8); // only the label changes
    DoubleClick(box, Button::Left, 20, 3 * 28 + 14);
    ASSERT_TRUE(PumpBoxesUntil([&] { return Answered(); }));
    PumpBoxes();
    EXPECT_EQ(TextOf(Label(3)), L"gain");
    EXPECT_EQ(Printed(), "3 'gain' ->\n");
    // Below the last row there is no item: the prompt shows an empty label.
    Answer({L""});
    QIV_RenameInputBoxItem(9);
    EXPECT_EQ(Printed(), "9 '' ->\n");
}

TEST_F(InputBoxTest, ClosingFromTheDesktopDestroysTheBox) {
    HWND box = Open(2);
    CloseFromDesktop(box);
    ASSERT_TRUE(PumpBoxesUntil([] { return qiv_inputBox.window == nullptr; }));
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(InputBoxTest, ReopeningForTheMenuReplacesTheBox) {
    HWND first = Open(2);
    QIV_SetInputBoxInt(0, 4);
    ReopenInputBox(0, 0, 5);
    EXPECT_NE(qiv_inputBox.window, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(qiv_inputBox.items, 5);
    EXPECT_EQ(QIV_GetInputBoxInt(0), 0);
    EXPECT_EQ(InputBoxWindow(), qiv_inputBox.window);
}

} // namespace
