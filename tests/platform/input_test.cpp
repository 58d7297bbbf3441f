// Desktop input translated into messages: keys, characters, key state, buttons, the wheel and
// dropped files.
#include "platform/win32_shell.h"
#include "tests/support/window_fixture.h"

#include <cstdio>
#include <fstream>

using namespace qivtest;
using namespace platform::testing;

namespace {

class InputTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        hwnd =
            CreateWindowExW(0, RecordingClass(), L"input", WS_VISIBLE | WS_CAPTION | WS_THICKFRAME,
                            100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
        PumpAll();
        Log().Clear();
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        WindowTest::TearDown();
    }
    HWND hwnd = nullptr;
};

TEST_F(InputTest, KeysBecomeVirtualKeysAndTranslateToCharacters) {
    KeyPress(hwnd, 'S');
    KeyPress(hwnd, 'S', SHIFT);
    KeyPress(hwnd, VK_ESCAPE);
    KeyPress(hwnd, VK_LEFT);
    PumpAll();
    auto downs = Log().All(hwnd, WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('S'));
    EXPECT_EQ(downs[2].wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(downs[3].wParam, static_cast<WPARAM>(VK_LEFT));
    auto chars = Log().All(hwnd, WM_CHAR);
    ASSERT_EQ(chars.size(), 3u); // the arrow key has no character
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(L's'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(L'S'));
    EXPECT_EQ(chars[2].wParam, 27u);
    EXPECT_EQ(Log().Count(hwnd, WM_KEYUP), 4);
    // Each character follows its key-down, before the key-up.
    auto all = Log().All(hwnd);
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        if (all[i].message == WM_KEYDOWN && all[i].wParam == 'S') {
            EXPECT_EQ(all[i + 1].message, static_cast<UINT>(WM_CHAR));
            break;
        }
    }
}

TEST_F(InputTest, WideCharactersArriveWhole) {
    TypeText(hwnd, L"a\u3042Z");
    PumpAll();
    auto chars = Log().All(hwnd, WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(L'a'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(0x3042));
    EXPECT_EQ(chars[2].wParam, static_cast<WPARAM>(L'Z'));
}

TEST_F(InputTest, KeypadKeysHaveTheirOwnCodes) {
    KeyPress(hwnd, VK_NUMPAD4);
    KeyPress(hwnd, VK_ADD, CONTROL);
    KeyPress(hwnd, VK_SUBTRACT, CONTROL);
    KeyPress(hwnd, '0', CONTROL);
    PumpAll();
    auto downs = Log().All(hwnd, WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(VK_NUMPAD4));
    EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>(VK_ADD));
    EXPECT_EQ(downs[2].wParam, static_cast<WPARAM>(VK_SUBTRACT));
    EXPECT_EQ(downs[3].wParam, static_cast<WPARAM>('0'));
}

TEST_F(InputTest, KeyStateFollowsTheMessageTheThreadRetrieved) {
    // Ctrl+S then S: while each is handled, GetKeyState answers for that message's time,
    // even though both were queued before either was handled.
    KeyPress(hwnd, 'S', CONTROL);
    KeyPress(hwnd, 'S');
    PumpAll();
    auto downs = Log().All(hwnd, WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_LT(downs[0].control, 0);
    EXPECT_EQ(downs[1].control, 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    // Another thread has retrieved no input: nothing is down for it.
    Worker worker;
    SHORT workerView = -1;
    worker.Call([&] { workerView = GetKeyState(VK_SHIFT); });
    EXPECT_EQ(workerView, 0);
}

TEST_F(InputTest, MouseButtonsCarryPositionAndKeyFlags) {
    MouseDown(hwnd, Button::Left, 12, 34, SHIFT);
    MouseUp(hwnd, Button::Left, 12, 34, SHIFT);
    Click(hwnd, Button::Right, 5, 6, CONTROL);
    Click(hwnd, Button::Middle, 7, 8);
    PumpAll();
    auto left = Log().All(hwnd, WM_LBUTTONDOWN);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(left[0].lParam), 12);
    EXPECT_EQ(GET_Y_LPARAM(left[0].lParam), 34);
    EXPECT_EQ(left[0].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));
    auto up = Log().All(hwnd, WM_LBUTTONUP);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].wParam, static_cast<WPARAM>(MK_SHIFT));
    auto right = Log().All(hwnd, WM_RBUTTONDOWN);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].wParam, static_cast<WPARAM>(MK_RBUTTON | MK_CONTROL));
    EXPECT_EQ(Log().Count(hwnd, WM_MBUTTONDOWN), 1);
    POINT cursor{};
    GetCursorPos(&cursor);
    POINT expected = {7, 8};
    ClientToScreen(hwnd, &expected);
    EXPECT_EQ(cursor.x, expected.x);
    EXPECT_EQ(cursor.y, expected.y);
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAskForThem) {
    HWND dbl = CreateWindowExW(0, RecordingClass(CS_DBLCLKS), L"dbl", WS_VISIBLE | WS_CAPTION, 0, 0,
                               100, 100, nullptr, nullptr, nullptr, nullptr);
    PumpAll();
    Log().Clear();
    DoubleClick(dbl, Button::Left, 10, 10);
    DoubleClick(hwnd, Button::Left, 10, 10);
    PumpAll();
    EXPECT_EQ(Log().Count(dbl, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Log().Count(dbl, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(Log().Count(dbl, WM_LBUTTONUP), 2);
    EXPECT_EQ(Log().Count(hwnd, WM_LBUTTONDOWN), 2);
    EXPECT_EQ(Log().Count(hwnd, WM_LBUTTONDBLCLK), 0);
    DestroyWindow(dbl);
}

TEST_F(InputTest, WheelCarriesDeltaFlagsAndScreenPosition) {
    Wheel(hwnd, 20, 30, -120, CONTROL);
    Wheel(hwnd, 20, 30, 240);
    PumpAll();
    auto wheels = Log().All(hwnd, WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[0].wParam)), -120);
    EXPECT_EQ(LOWORD(wheels[0].wParam), MK_CONTROL);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[1].wParam)), 240);
    EXPECT_EQ(LOWORD(wheels[1].wParam), 0);
    POINT screen = {20, 30};
    ClientToScreen(hwnd, &screen);
    EXPECT_EQ(GET_X_LPARAM(wheels[0].lParam), screen.x);
    EXPECT_EQ(GET_Y_LPARAM(wheels[0].lParam), screen.y);
}

TEST_F(InputTest, DroppedFilesReachOnlyWindowsThatAcceptThem) {
    DropFiles(hwnd, {L"/tmp/refused.png"}, 5, 5);
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_DROPFILES), 0);

    DragAcceptFiles(hwnd, TRUE);
    ProcessDesktopEvents();
    std::wstring longName = L"/tmp/\u5199\u771f-photograph-with-a-long-name.jpg";
    DropFiles(hwnd, {L"/tmp/a.png", longName}, 15, 25);
    PumpAll();
    auto drops = Log().All(hwnd, WM_DROPFILES);
    ASSERT_EQ(drops.size(), 1u);
    auto drop = reinterpret_cast<HDROP>(drops[0].wParam);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileW(drop, 1, nullptr, 0), longName.size());
    wchar_t full[MAX_PATH];
    EXPECT_EQ(DragQueryFileW(drop, 0, full, MAX_PATH), 10u);
    EXPECT_STREQ(full, L"/tmp/a.png");
    wchar_t small[8];
    EXPECT_EQ(DragQueryFileW(drop, 1, small, 8), 7u);
    EXPECT_EQ(std::wstring(small), longName.substr(0, 7));
    EXPECT_EQ(DragQueryFileW(drop, 2, full, MAX_PATH), 0u);
    POINT at{};
    EXPECT_TRUE(DragQueryPoint(drop, &at));
    EXPECT_EQ(at.x, 15);
    EXPECT_EQ(at.y, 25);
    DragFinish(drop);
    // A finished or made-up handle is refused, not dereferenced.
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 0u);
    EXPECT_EQ(DragQueryFileW(reinterpret_cast<HDROP>(0x1234), 0, full, MAX_PATH), 0u);
    DragFinish(drop);
}

TEST_F(InputTest, FocusIsPerThreadAndAnnounced) {
    HWND other = CreateWindowExW(0, RecordingClass(), L"other", WS_VISIBLE | WS_CAPTION, 0, 0, 100,
                                 100, nullptr, nullptr, nullptr, nullptr);
    SetFocus(hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    Log().Clear();
    EXPECT_EQ(SetFocus(other), hwnd);
    EXPECT_EQ(GetFocus(), other);
    EXPECT_EQ(Log().Count(hwnd, WM_KILLFOCUS), 1);
    EXPECT_EQ(Log().Count(other, WM_SETFOCUS), 1);
    Worker worker;
    HWND fromWorker = hwnd;
    worker.Call([&] { fromWorker = GetFocus(); });
    EXPECT_EQ(fromWorker, nullptr);
    DestroyWindow(other);
    EXPECT_EQ(GetFocus(), nullptr);
}

} // namespace
