// IsDialogMessageW: Tab order, Enter, and keys passed through to their windows.
#include "tests/support/window_fixture.h"

using namespace qivtest;
using namespace platform::testing;

namespace {

int PumpDialog(HWND dialog) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        ++count;
    }
    return count;
}

class DialogKeysTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        dialog = CreateWindowExW(0, RecordingClass(), L"dialog", WS_VISIBLE | WS_CAPTION, 50, 50,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
        PumpDialog(dialog);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        WindowTest::TearDown();
    }
    HWND Make(const wchar_t* cls, DWORD style, int id, const wchar_t* text = L"") {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 30 * (id % 6), 80,
                               24, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               nullptr, nullptr);
    }
    void Press(int vk, unsigned modifiers = NO_MODIFIER) {
        HWND focus = GetFocus();
        KeyPress(focus ? focus : dialog, vk, modifiers);
        PumpDialog(dialog);
    }
    HWND dialog = nullptr;
};

TEST_F(DialogKeysTest, TabWalksTheTabStopsInCreationOrder) {
    HWND d = Make(L"EDIT", WS_TABSTOP, 4);
    HWND label = Make(L"STATIC", WS_TABSTOP, 1);
    HWND a = Make(L"EDIT", WS_TABSTOP | WS_GROUP, 2);
    Make(L"BUTTON", 0, 3); // no tab stop
    HWND c = Make(L"EDIT", WS_TABSTOP, 5);
    HWND off = Make(L"EDIT", WS_TABSTOP, 6);
    EnableWindow(off, FALSE);
    // Destroying and re-making d reuses an early slot: the order must still be creation order.
    DestroyWindow(d);
    d = Make(L"EDIT", WS_TABSTOP, 4);
    (void)label;
    SetFocus(a);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), c);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), d);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), a); // wraps, skipping the disabled field
    Press(VK_TAB, SHIFT);
    EXPECT_EQ(GetFocus(), d);
    Press(VK_TAB, SHIFT);
    EXPECT_EQ(GetFocus(), c);
    EXPECT_EQ(Log().Count(c, WM_CHAR), 0); // Tab itself never arrives as a character
}

TEST_F(DialogKeysTest, TabFromTheDialogItselfEntersTheFirstFieldSelectingItsText) {
    HWND a = Make(L"EDIT", WS_TABSTOP, 1, L"123");
    Make(L"EDIT", WS_TABSTOP, 2);
    SetFocus(dialog);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), a);
    LRESULT sel = SendMessageW(a, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(sel), 0);
    EXPECT_EQ(HIWORD(sel), 3);
}

TEST_F(DialogKeysTest, WithoutTabStopsTabWalksThePushButtons) {
    HWND b0 = Make(L"BUTTON", 0, 3000);
    HWND b1 = Make(L"BUTTON", 0, 3001);
    SetFocus(dialog);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), b0);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), b1);
}

TEST_F(DialogKeysTest, EnterBecomesACommand) {
    HWND field = Make(L"EDIT", WS_TABSTOP, 0, L"5");
    HWND button = Make(L"BUTTON", 0, 3004);
    SetFocus(field);
    Log().Clear();
    Press(VK_RETURN);
    auto commands = Log().All(dialog, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(IDOK));
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(Log().Count(field, WM_CHAR), 0);
    wchar_t text[8] = {};
    GetWindowTextW(field, text, 8);
    EXPECT_EQ(std::wstring(text), L"5");
    // On a focused push button, Enter presses it.
    SetFocus(button);
    Log().Clear();
    Press(VK_RETURN);
    commands = Log().All(dialog, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(3004, BN_CLICKED));
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(button));
}

TEST_F(DialogKeysTest, OtherKeysReachTheirWindowAsKeyDown) {
    Make(L"EDIT", WS_TABSTOP, 0);
    SetFocus(dialog);
    Log().Clear();
    Press('4');
    Press(VK_NUMPAD7);
    Press(VK_ESCAPE);
    Press('Q', CONTROL);
    auto downs = Log().All(dialog, WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('4'));
    EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>(VK_NUMPAD7));
    EXPECT_EQ(downs[2].wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(downs[3].wParam, static_cast<WPARAM>('Q'));
    EXPECT_LT(downs[3].control, 0);             // Ctrl is seen as held
    EXPECT_GE(Log().Count(dialog, WM_CHAR), 1); // translated as usual
}

TEST_F(DialogKeysTest, MessagesOfOtherWindowsAreLeftAlone) {
    HWND other = CreateWindowExW(0, RecordingClass(), L"other", WS_VISIBLE | WS_CAPTION, 400, 50,
                                 100, 100, nullptr, nullptr, nullptr, nullptr);
    PumpDialog(dialog);
    Log().Clear();
    MSG msg = {other, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageW(dialog, &msg));
    EXPECT_EQ(Log().Count(other, WM_KEYDOWN), 0);
    EXPECT_FALSE(IsDialogMessageW(dialog, nullptr));
    EXPECT_FALSE(IsDialogMessageW(nullptr, &msg));
    DestroyWindow(other);
}

} // namespace
