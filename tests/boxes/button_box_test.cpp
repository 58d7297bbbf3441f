// The button box driven through its window and the real push buttons.
#include "box_fixture.h"

using namespace boxtest;
using namespace platform::testing;

namespace {

class ButtonBoxTest : public BoxTest {
protected:
    HWND Open(int nx, int ny) {
        QIV_OpenButtonBox(200, 100, nx, ny);
        PumpBoxes();
        return qiv_buttonBox.window;
    }
    HWND ButtonOf(int i) { return qiv_buttonBox.button[i]; }
    void ClickButton(int i) {
        RECT r = ChildRect(ButtonOf(i));
        Click(ButtonOf(i), Button::Left, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
        PumpBoxes();
    }
};

TEST_F(ButtonBoxTest, OpensOnlyWithAValidGrid) {
    EXPECT_NE(Open(16, 16), nullptr);
    EXPECT_EQ(qiv_buttonBox.count, 256);
    EXPECT_EQ(TextOf(ButtonOf(255)), L"255");
    QIV_DestroyButtonBox();
    const int bad[][2] = {{17, 16}, {0, 3}, {3, -1}, {1 << 16, 1 << 16}, {-2, -2}};
    for (const auto& b : bad) {
        QIV_OpenButtonBox(0, 0, b[0], b[1]);
        EXPECT_EQ(qiv_buttonBox.window, nullptr) << b[0] << " x " << b[1];
        EXPECT_EQ(qiv_buttonBox.count, 256); // nothing changed
    }
}

TEST_F(ButtonBoxTest, AFreshBoxHasItsButtonsInAGrid) {
    HWND box = Open(3, 2);
    SIZE client = ClientSize(box);
    EXPECT_EQ(client.cx, 310);
    EXPECT_EQ(client.cy, 64);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(TextOf(ButtonOf(i)), std::to_wstring(i));
        RECT r = ChildRect(ButtonOf(i));
        EXPECT_EQ(r.left, (i % 3) * 102 + 4);
        EXPECT_EQ(r.top, (i / 3) * 30 + 4);
        EXPECT_EQ(r.right - r.left, 98);
        EXPECT_EQ(r.bottom - r.top, 26);
        EXPECT_EQ(GetDlgCtrlID(ButtonOf(i)), 3000 + i);
    }
    EXPECT_EQ(GetParent(box), MainWindow);
    QIV_OpenButtonBox(0, 0, 1, 1); // a second open changes nothing
    EXPECT_EQ(qiv_buttonBox.window, box);
    EXPECT_EQ(qiv_buttonBox.count, 6);
}

TEST_F(ButtonBoxTest, ClicksAreCountedUntilCheckedAndTheBoxKeepsTheKeys) {
    HWND box = Open(3, 2);
    ClickButton(2);
    ClickButton(2);
    ClickButton(2);
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(QIV_CheckButton(2), 3);
    EXPECT_EQ(QIV_CheckButton(2), 0);
    EXPECT_EQ(QIV_CheckButton(1), 0);
    ClickButton(5);
    Press(box, '5'); // the box, not the clicked button, has the focus
    EXPECT_EQ(QIV_CheckButton(5), 2);
}

TEST_F(ButtonBoxTest, DigitKeysOnBothKeyboardsPressButtonsZeroToNine) {
    HWND box = Open(4, 3);
    SetFocus(box);
    Press(box, '4');
    Press(box, VK_NUMPAD4);
    Press(box, '0');
    Press(box, VK_NUMPAD9);
    Press(box, 'A');
    EXPECT_EQ(QIV_CheckButton(4), 2);
    EXPECT_EQ(QIV_CheckButton(0), 1);
    EXPECT_EQ(QIV_CheckButton(9), 1);
    Press(box, '1', CONTROL); // with Ctrl a digit is not a press
    EXPECT_EQ(QIV_CheckButton(1), 0);
    QIV_DestroyButtonBox();
    box = Open(2, 1);
    SetFocus(box);
    Press(box, '4'); // counted, but there is no button 4 to report it
    EXPECT_EQ(QIV_CheckButton(4), 0);
}

TEST_F(ButtonBoxTest, CtrlQClosesAndQAloneDoesNothing) {
    HWND box = Open(2, 2);
    SetFocus(box);
    Press(box, 'Q');
    PumpBoxes();
    EXPECT_EQ(qiv_buttonBox.window, box);
    Press(box, 'Q', CONTROL);
    ASSERT_TRUE(PumpBoxesUntil([] { return qiv_buttonBox.window == nullptr; }));
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(ButtonBoxTest, StartStopAndExitKeysGoToTheMainWindow) {
    HWND box = Open(2, 2);
    SetFocus(box);
    for (int key : {int{'S'}, int{'C'}, int{'X'}, VK_ESCAPE, int{'A'}, 'S' | 0x1000}) {
        Press(box, key & 0xFF, (key & 0x1000) ? CONTROL : NO_MODIFIER);
    }
    PumpBoxes();
    auto forwarded = qivtest::Log().All(MainWindow, WM_KEYDOWN);
    ASSERT_EQ(forwarded.size(), 4u);
    const WPARAM expected[] = {'S', 'C', 'X', VK_ESCAPE};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(forwarded[i].wParam, expected[i]);
        EXPECT_EQ(forwarded[i].lParam, 0);
    }
}

TEST_F(ButtonBoxTest, ResizingStretchesTheButtons) {
    HWND box = Open(4, 3);
    QIV_ResizeButtonBox(404, 94);
    PumpBoxes();
    EXPECT_EQ(ClientSize(box).cx, 404);
    EXPECT_EQ(ClientSize(box).cy, 94);
    EXPECT_EQ(qiv_buttonBox.width, 96);
    EXPECT_EQ(qiv_buttonBox.height, 26);
    RECT last = ChildRect(ButtonOf(11));
    EXPECT_EQ(last.left, 3 * 100 + 4);
    EXPECT_EQ(last.top, 2 * 30 + 4);
    EXPECT_EQ(last.right - last.left, 96);
    // Dragging the frame stretches them both ways.
    RECT frame = {};
    GetWindowRect(box, &frame);
    DragWindowTo(box, RECT{frame.left, frame.top, frame.right + 40, frame.bottom + 30});
    ASSERT_TRUE(PumpBoxesUntil([] { return qiv_buttonBox.width == 106; }));
    EXPECT_EQ(qiv_buttonBox.height, 36);
    EXPECT_EQ(ChildRect(ButtonOf(11)).bottom - ChildRect(ButtonOf(11)).top, 36);
    // A reopened box keeps the button size.
    QIV_DestroyButtonBox();
    box = Open(2, 1);
    EXPECT_EQ(ClientSize(box).cx, 2 * 110 + 4);
    EXPECT_EQ(ClientSize(box).cy, 1 * 40 + 4);
}

TEST_F(ButtonBoxTest, ATinyBoxGivesEmptyButtonsWithoutFailing) {
    HWND box = Open(3, 2);
    QIV_ResizeButtonBox(5, 5);
    PumpBoxes();
    EXPECT_EQ(qiv_buttonBox.width, 0);
    EXPECT_EQ(qiv_buttonBox.height, 0);
    EXPECT_EQ(ButtonAtPoint(3, 3), 0);
    EXPECT_EQ(ButtonAtPoint(300, 300), 5); // no division by the empty button size
    (void)box;
}

TEST_F(ButtonBoxTest, DoubleClickInAGapRenamesTheButtonBeforeIt) {
    HWND box = Open(3, 2);
    Answer({L"Save"});
    DoubleClick(box, Button::Left, 250, 62); // below the bottom-right button
    ASSERT_TRUE(PumpBoxesUntil([&] { return TextOf(ButtonOf(5)) == L"Save"; }));
    EXPECT_EQ(Printed(), "5 '5' ->Save\n");
    EXPECT_EQ(ButtonAtPoint(101, 10), 0); // the gap right of button 0
    EXPECT_EQ(ButtonAtPoint(102, 10), 1);
    EXPECT_EQ(ButtonAtPoint(5000, 5000), 5); // beyond the grid: the last one
    EXPECT_EQ(ButtonAtPoint(0, 31), 3);
    // An empty answer keeps the caption; captions may hold line breaks.
    Answer({L""});
    QIV_RenameButton(5);
    EXPECT_EQ(TextOf(ButtonOf(5)), L"Save");
    QIV_SetButtonBoxTitle(1, "\xe2\x86\x90\n\xe2\x86\x90");
    EXPECT_EQ(TextOf(ButtonOf(1)), L"\u2190\n\u2190");
}

TEST_F(ButtonBoxTest, PopUpMenusDestroyAndRename) {
    HWND box = Open(3, 2);
    Answer({L"One"}, false);
    AnswerMenuWithId(1057);
    Click(box, Button::Right, 103, 10); // the gap left of button 1
    ASSERT_TRUE(PumpBoxesUntil([&] { return TextOf(ButtonOf(1)) == L"One"; }));
    EXPECT_EQ(qiv_buttonBox.menuButton, 1);
    AnswerMenuWithId(1050);
    PostMessageW(box, WM_NCRBUTTONDOWN, HTCAPTION, 0);
    ASSERT_TRUE(PumpBoxesUntil([] { return qiv_buttonBox.window == nullptr; }));
    auto menus = ShownMenus();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].items[0].text, L"Rename");
    ASSERT_EQ(menus[1].items.size(), 1u);
    EXPECT_EQ(menus[1].items[0].text, L"&Destroy\tCtrl+Q");
    EXPECT_EQ(menus[1].items[0].id, 1050u);
}

TEST_F(ButtonBoxTest, AClosedBoxReportsNoPresses) {
    Open(3, 2);
    ClickButton(1);
    QIV_DestroyButtonBox();
    for (int i = -1; i < 257; ++i) {
        EXPECT_EQ(QIV_CheckButton(i), 0);
    }
    QIV_SetButtonBoxTitle(0, "x");
    QIV_ResizeButtonBox(100, 100);
    QIV_DestroyButtonBox();
    EXPECT_EQ(qiv_buttonBox.window, nullptr);
}

TEST_F(ButtonBoxTest, ReopeningForTheMenuReplacesTheBoxWithFreshCounts) {
    HWND first = Open(3, 2);
    ClickButton(0);
    ReopenButtonBox(0, 0, 2, 1);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(qiv_buttonBox.count, 2);
    EXPECT_EQ(QIV_CheckButton(0), 0);
    EXPECT_EQ(ButtonBoxWindow(), qiv_buttonBox.window);
}

} // namespace
