// The EDIT and BUTTON controls driven by synthetic input on the offscreen desktop.
#include "tests/support/window_fixture.h"

#include "platform/window_surface.h"

#include <string>
#include <utility>
#include <vector>

using namespace qivtest;
using namespace platform::testing;

namespace {

constexpr int EDIT_ID = 7;
constexpr int BUTTON_ID = 3002;

class ControlsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent =
            CreateWindowExW(0, RecordingClass(), L"parent", WS_VISIBLE | WS_CAPTION | WS_THICKFRAME,
                            50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
        edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 24,
                               parent, Id(EDIT_ID), nullptr, nullptr);
        button = CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 50,
                                 98, 26, parent, Id(BUTTON_ID), nullptr, nullptr);
        PumpAll();
        Log().Clear();
    }
    void TearDown() override {
        DestroyWindow(parent);
        WindowTest::TearDown();
    }
    static HMENU Id(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }
    std::wstring Text(HWND hwnd) {
        wchar_t buffer[300] = {};
        GetWindowTextW(hwnd, buffer, 300);
        return buffer;
    }
    // The parent's WM_COMMANDs with this notification code.
    std::vector<LoggedMessage> Commands(WORD code) {
        std::vector<LoggedMessage> result;
        for (const auto& m : Log().All(parent, WM_COMMAND)) {
            if (HIWORD(m.wParam) == code) {
                result.push_back(m);
            }
        }
        return result;
    }
    HWND parent = nullptr;
    HWND edit = nullptr;
    HWND button = nullptr;
};

TEST_F(ControlsTest, EditTextIsReadAndWrittenByCallsAndMessages) {
    EXPECT_EQ(Text(edit), L"0");
    SetWindowTextW(edit, L"12.5");
    wchar_t buffer[8] = {};
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_EQ(std::wstring(buffer), L"12.5");
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x\u3042"));
    EXPECT_EQ(GetWindowTextLengthW(edit), 2);
    EXPECT_EQ(Text(edit), L"x\u3042");
    // A small buffer gets a cut, terminated text.
    EXPECT_EQ(GetWindowTextW(edit, buffer, 2), 1);
    EXPECT_EQ(std::wstring(buffer), L"x");
}

TEST_F(ControlsTest, TypingEditsTheFocusedField) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    TypeText(edit, L"12");
    PumpAll();
    EXPECT_EQ(Text(edit), L"12"); // the selected "0" was replaced
    KeyPress(edit, VK_BACK);
    KeyPress(edit, VK_HOME);
    TypeText(edit, L"-9");
    PumpAll();
    EXPECT_EQ(Text(edit), L"-91");
    KeyPress(edit, VK_RIGHT, SHIFT);
    KeyPress(edit, VK_DELETE);
    PumpAll();
    EXPECT_EQ(Text(edit), L"-9");
    EXPECT_FALSE(Commands(EN_CHANGE).empty());
    // Enter, Tab and Esc are not text.
    KeyPress(edit, VK_RETURN);
    KeyPress(edit, VK_TAB);
    KeyPress(edit, VK_ESCAPE);
    PumpAll();
    EXPECT_EQ(Text(edit), L"-9");
}

TEST_F(ControlsTest, FocusChangesAreReportedToTheParentWithIdAndHandle) {
    SetFocus(edit);
    SetFocus(button);
    auto gained = Commands(EN_SETFOCUS);
    auto lost = Commands(EN_KILLFOCUS);
    ASSERT_EQ(gained.size(), 1u);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(LOWORD(gained[0].wParam), EDIT_ID);
    EXPECT_EQ(gained[0].lParam, reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(lost[0].lParam, reinterpret_cast<LPARAM>(edit));
}

TEST_F(ControlsTest, APostedSelectionTakesEffectWhenPumped) {
    SetWindowTextW(edit, L"12345");
    PostMessageW(edit, EM_SETSEL, 1, 3);
    DWORD start = 9;
    DWORD end = 9;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    PumpAll();
    LRESULT both = SendMessageW(edit, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(both), 1);
    EXPECT_EQ(HIWORD(both), 3);
}

TEST_F(ControlsTest, ClickingAFieldFocusesItAndPlacesTheCaret) {
    SetWindowTextW(edit, L"abcdef");
    SetFocus(button);
    Click(edit, Button::Left, 2, 12); // left of the first character
    PumpAll();
    EXPECT_EQ(GetFocus(), edit);
    TypeText(edit, L"X");
    PumpAll();
    EXPECT_EQ(Text(edit), L"Xabcdef");
}

TEST_F(ControlsTest, AButtonClicksOnlyWhenReleasedOverIt) {
    Click(button, Button::Left, 20, 10);
    PumpAll();
    auto clicks = Commands(BN_CLICKED);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].wParam, MAKEWPARAM(BUTTON_ID, 0));
    EXPECT_EQ(clicks[0].lParam, reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(GetFocus(), button);
    Log().Clear();
    MouseDown(button, Button::Left, 20, 10);
    MouseMove(button, 200, 10);
    MouseUp(button, Button::Left, 200, 10); // dragged off before release
    PumpAll();
    EXPECT_TRUE(Commands(BN_CLICKED).empty());
    KeyPress(button, VK_SPACE);
    SendMessageW(button, BM_CLICK, 0, 0);
    PumpAll();
    EXPECT_EQ(Commands(BN_CLICKED).size(), 2u);
}

TEST_F(ControlsTest, TheFirstClickOnAnInactiveWindowStillClicks) {
    // The desktop reports the activation a click causes only after the press itself: the
    // window must not take the focus back from the button being pressed.
    SetFocus(nullptr);
    MouseDown(button, Button::Left, 20, 10);
    PumpAll();
    SendMessageW(parent, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    MouseUp(button, Button::Left, 20, 10);
    PumpAll();
    EXPECT_EQ(Commands(BN_CLICKED).size(), 1u);
    EXPECT_EQ(GetFocus(), button);

    // Activated with the focus elsewhere, the window takes it.
    SetFocus(nullptr);
    SendMessageW(parent, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), parent);
}

TEST_F(ControlsTest, ControlsDrawTheirFramesAndText) {
    SetWindowTextW(edit, L"88");
    SetWindowTextW(button, L"Up\nDown");
    PumpAll();
    Capture field;
    ASSERT_TRUE(CaptureClientSurface(edit, &field));
    EXPECT_EQ(field.At(0, 0), 0xA0A0A0u); // sunken edge: shadow outside
    EXPECT_EQ(field.At(field.width - 1, field.height - 1), 0xFFFFFFu);
    EXPECT_EQ(field.At(field.width - 6, field.height / 2), 0xFFFFFFu); // white interior
    bool ink = false;
    for (int x = 3; x < 30; ++x) {
        ink = ink || field.At(x, field.height / 2) == 0;
    }
    EXPECT_TRUE(ink) << "the digits are drawn";
    Capture face;
    ASSERT_TRUE(CaptureClientSurface(button, &face));
    EXPECT_EQ(face.At(0, 0), 0xFFFFFFu); // raised: light top-left
    EXPECT_EQ(face.At(face.width - 1, face.height - 1), 0x696969u);
    int darkRows = 0;
    for (int y = 2; y < face.height - 2; ++y) {
        for (int x = 2; x < face.width - 2; ++x) {
            if (face.At(x, y) < 0x404040u) {
                ++darkRows;
                break;
            }
        }
    }
    EXPECT_GT(darkRows, 0);
}

TEST_F(ControlsTest, AWrappingStaticShowsALongTextWholeInASmallerFont) {
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 100, 234, 26, parent,
                                 Id(9), nullptr, nullptr);
    SetWindowTextW(label, L"auto: 0.42\u00b0, \u00d71.003, dy \u22123, window 27, range 96, "
                          L"812 inliers");
    PumpAll();
    Capture shown;
    ASSERT_TRUE(GrabShownClient(label, &shown));
    // Rows with ink, in bands: one band a line of text.
    std::vector<std::pair<int, int>> lines;
    for (int y = 0; y < shown.height; ++y) {
        bool ink = false;
        for (int x = 0; x < shown.width && !ink; ++x) {
            ink = shown.At(x, y) < 0x606060u;
        }
        if (ink && (lines.empty() || lines.back().second != y - 1)) {
            lines.emplace_back(y, y);
        } else if (ink) {
            lines.back().second = y;
        }
    }
    ASSERT_EQ(lines.size(), 2u);
    // The second line is as tall as the first: nothing of it is cut off at the bottom.
    EXPECT_GE(lines[1].second - lines[1].first, lines[0].second - lines[0].first - 1);
    DestroyWindow(label);
}

} // namespace
