// Menus, menu bars, pop-up menus and message boxes, on the main thread and on a worker.
#include "tests/support/window_fixture.h"

using namespace qivtest;
using namespace platform::testing;

namespace {

constexpr UINT WM_TEST = WM_USER + 1;

void AddItem(HMENU menu, UINT position, UINT state, UINT id, const wchar_t* text) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
    info.fType = MFT_STRING;
    info.fState = state;
    info.wID = id;
    info.dwTypeData = const_cast<wchar_t*>(text);
    ASSERT_TRUE(InsertMenuItemW(menu, position, TRUE, &info));
}

void AddSeparator(HMENU menu, UINT position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_SEPARATOR;
    ASSERT_TRUE(InsertMenuItemW(menu, position, TRUE, &info));
}

void AddSubmenu(HMENU menu, HMENU sub, UINT position, const wchar_t* text) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU | MIIM_STRING;
    info.hSubMenu = sub;
    info.dwTypeData = const_cast<wchar_t*>(text);
    ASSERT_TRUE(InsertMenuItemW(menu, position, TRUE, &info));
}

// The main window's pop-up menu with S = 3 (greyed), and a sub-menu.
HMENU BuildMenu() {
    HMENU menu = CreatePopupMenu();
    AddItem(menu, 0, MFS_GRAYED, 1026, L"Paste\tCtrl+V");
    AddSeparator(menu, 1);
    AddItem(menu, 2, 0, 1003, L"Stop");
    AddItem(menu, 3, 0, 1002, L"E&xit");
    HMENU sub = CreatePopupMenu();
    AddItem(sub, 0, 0, 1058, L"Invert");
    AddItem(sub, 1, MFS_CHECKED, 1007, L"Zoom: 50%");
    AddSubmenu(menu, sub, 4, L"Process...");
    // Inserted by position at the top.
    AddItem(menu, 0, 0, 1045, L"&Window Info.\tCtrl+W");
    return menu;
}

class MenuTest : public WindowTest {};

TEST_F(MenuTest, PopupChoiceArrivesAsCommandOnTheWorker) {
    Worker worker;
    HWND hwnd = nullptr;
    worker.Call([&] {
        hwnd = CreateWindowExW(0, RecordingClass(), L"owner", WS_VISIBLE | WS_CAPTION, 0, 0, 200,
                               100, nullptr, nullptr, nullptr, nullptr);
    });
    Log().Clear();
    AnswerMenuWithText(L"Invert");
    BOOL tracked = FALSE;
    worker.Call([&] {
        HMENU menu = BuildMenu();
        tracked = TrackPopupMenu(menu, TPM_RIGHTBUTTON, 40, 50, 0, hwnd, nullptr);
        DestroyMenu(menu);
        // Not yet: the command is posted, and arrives when the worker pumps.
        EXPECT_EQ(Log().Count(hwnd, WM_COMMAND), 0);
        PumpAll();
    });
    EXPECT_TRUE(tracked);
    auto commands = Log().All(hwnd, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1058);
    EXPECT_EQ(HIWORD(commands[0].wParam), 0);
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(commands[0].thread, worker.ThreadId());

    auto shown = ShownMenus();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, hwnd);
    EXPECT_EQ(shown[0].at.x, 40);
    EXPECT_EQ(shown[0].at.y, 50);
    const auto& items = shown[0].items;
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].text, L"&Window Info.\tCtrl+W");
    EXPECT_EQ(items[1].text, L"Paste\tCtrl+V");
    EXPECT_TRUE(items[1].grayed);
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[4].id, 1002u);
    ASSERT_EQ(items[5].submenu.size(), 2u);
    EXPECT_EQ(items[5].text, L"Process...");
    EXPECT_TRUE(items[5].submenu[1].checked);
    EXPECT_EQ(shown[0].chosen, 1058u);
    worker.Call([&] { DestroyWindow(hwnd); });
}

TEST_F(MenuTest, GreyedItemsCannotBeChosenAndReturnCmdReturnsTheId) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"owner", WS_CAPTION, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
    HMENU menu = BuildMenu();
    AnswerMenuWithText(L"Paste\tCtrl+V");
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_RIGHTBUTTON, 0, 0, 0, hwnd, nullptr));
    AnswerMenuWithId(1003);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, hwnd, nullptr), 1003);
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_COMMAND), 0);
    DestroyMenu(menu);
    EXPECT_FALSE(TrackPopupMenu(menu, 0, 0, 0, 0, hwnd, nullptr)); // destroyed
    DestroyWindow(hwnd);
}

TEST_F(MenuTest, MenuHandlesAreCheckedAndCyclesRefused) {
    HMENU a = CreatePopupMenu();
    HMENU b = CreatePopupMenu();
    AddSubmenu(a, b, 0, L"b");
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU | MIIM_STRING;
    info.hSubMenu = a;
    info.dwTypeData = const_cast<wchar_t*>(L"loop");
    EXPECT_FALSE(InsertMenuItemW(b, 0, TRUE, &info));
    EXPECT_EQ(GetMenuItemCount(a), 1);
    AppendMenuW(b, MF_STRING | MF_GRAYED, 5, L"five");
    EXPECT_EQ(CheckMenuItem(b, 5, MF_BYCOMMAND | MF_CHECKED), 0u);
    EXPECT_EQ(CheckMenuItem(b, 5, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(b, 99, MF_BYCOMMAND), static_cast<DWORD>(-1));
    EXPECT_TRUE(DestroyMenu(a));
    EXPECT_EQ(GetMenuItemCount(b), -1); // sub-menus go with their menu
    EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(0x7777)), -1);
    EXPECT_FALSE(InsertMenuItemW(a, 0, TRUE, &info));
}

TEST_F(MenuTest, MenuBarItemsAreCommandsAndTheBarHasMenuHeight) {
    HMENU bar = CreateMenu();
    AddItem(bar, 0, 0, 1001, L"Start(&S)");
    AddItem(bar, 1, 0, 1003, L"Stop(&C)");
    AddItem(bar, 2, 0, 1002, L"Exit(&X)");
    RECT r = {0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
    AdjustWindowRect(&r, WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, FALSE);
    HWND hwnd =
        CreateWindowExW(0, RecordingClass(), L"main", WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 500,
                        800, r.right - r.left, r.bottom - r.top, nullptr, bar, nullptr, nullptr);
    ProcessDesktopEvents();
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 32); // the bar takes SM_CYMENU of the client rectangle given
    DesktopWindow shown = DesktopWindowOf(hwnd);
    EXPECT_EQ(shown.client.bottom - shown.client.top, 32);
    EXPECT_EQ(shown.client.top - shown.frame.top, GetSystemMetrics(SM_CYFRAME) +
                                                      GetSystemMetrics(SM_CYCAPTION) +
                                                      GetSystemMetrics(SM_CYMENU));
    std::vector<std::wstring> items = MenuBarItems(hwnd);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1], L"Stop(&C)");

    Log().Clear();
    ASSERT_TRUE(ClickMenuBarItem(hwnd, L"Exit(&X)"));
    RightClickMenuBar(hwnd, 5);
    PumpAll();
    auto commands = Log().All(hwnd, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1002);
    auto nc = Log().All(hwnd, WM_NCRBUTTONDOWN);
    ASSERT_EQ(nc.size(), 1u);
    EXPECT_EQ(nc[0].wParam, static_cast<WPARAM>(HTMENU));
    DestroyWindow(hwnd);
    DestroyMenu(bar);
}

TEST_F(MenuTest, WorkerInMessageBoxKeepsServingItsWindows) {
    Worker worker;
    HWND a = nullptr;
    HWND b = nullptr;
    worker.Call([&] {
        a = CreateWindowExW(0, RecordingClass(), L"a", WS_VISIBLE | WS_CAPTION, 0, 0, 100, 100,
                            nullptr, nullptr, nullptr, nullptr);
        b = CreateWindowExW(0, RecordingClass(), L"b", WS_VISIBLE | WS_CAPTION, 0, 0, 100, 100,
                            nullptr, nullptr, nullptr, nullptr);
        PumpAll();
    });
    Log().Clear();
    HoldNextModal();
    std::atomic<int> answer{-1};
    worker.Start([&] {
        answer = MessageBoxW(a, L"DestroyWindow[IB] Error", L"QIVLIB Error!", MB_OK | MB_ICONERROR);
    });
    ASSERT_TRUE(PumpUntil([] { return HeldModalCount() == 1; }));
    // Posted messages, input and paints of the worker's windows are served while it waits.
    PostMessageW(b, WM_TEST, 3, 0);
    Click(a, Button::Left, 10, 10);
    InvalidateRect(b, nullptr, FALSE);
    EXPECT_TRUE(PumpUntil([&] {
        return Log().Count(b, WM_TEST) == 1 && Log().Count(a, WM_LBUTTONUP) == 1 &&
               Log().Count(b, WM_PAINT) == 1;
    }));
    for (const auto& m : Log().All()) {
        EXPECT_EQ(m.thread, worker.ThreadId());
    }
    EXPECT_EQ(answer.load(), -1);
    ASSERT_TRUE(AnswerHeld(IDOK));
    ASSERT_TRUE(worker.WaitIdle());
    EXPECT_EQ(answer.load(), IDOK);
    auto boxes = ShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"QIVLIB Error!");
    EXPECT_EQ(boxes[0].text, L"DestroyWindow[IB] Error");
    EXPECT_EQ(boxes[0].type & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[0].owner, a);
    worker.Call([&] {
        DestroyWindow(a);
        DestroyWindow(b);
    });
}

TEST_F(MenuTest, MessageBoxOnTheMainThreadUsesItsDefaultAnswer) {
    EXPECT_EQ(MessageBoxW(nullptr, L"Over instance limit!", L"QIVLIB", MB_OK), IDOK);
    AnswerMessageBox(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Save?", L"Pause", MB_YESNO), IDNO);
    auto boxes = ShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"Over instance limit!");
    EXPECT_EQ(boxes[0].answer, IDOK);
    EXPECT_EQ(boxes[1].caption, L"Pause");
}

TEST_F(MenuTest, QuitTakenInsideAModalLoopIsPostedAgain) {
    Worker worker;
    HoldNextModal();
    std::atomic<bool> done{false};
    BOOL afterwards = -1;
    worker.Start([&] {
        PostQuitMessage(3);
        MessageBoxW(nullptr, L"text", L"caption", MB_OK);
        MSG msg;
        afterwards = GetMessageW(&msg, nullptr, 0, 0);
        done = true;
    });
    ASSERT_TRUE(PumpUntil([] { return HeldModalCount() == 1; }));
    AnswerHeld(IDOK);
    ASSERT_TRUE(worker.WaitIdle());
    EXPECT_TRUE(done);
    EXPECT_EQ(afterwards, FALSE);
}

} // namespace
