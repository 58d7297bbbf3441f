#include "box_fixture.h"

#include "boxes/box_dialogs.h"
#include "boxes/box_seams.h"
#include "platform/user/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

// Stand-ins for the runtime and the text windows.
HWND MainWindow = nullptr;

void QIV_SetWindowText(HWND hwnd, const char* text) {
    std::wstring wide = platform::Utf8ToWide(text ? text : "");
    wide.resize(std::min<std::size_t>(wide.size(), 255));
    SetWindowTextW(hwnd, wide.c_str());
}

int QIV_GetWindowText(HWND hwnd, char* buffer, int size) {
    wchar_t wide[256] = {};
    GetWindowTextW(hwnd, wide, 256);
    std::string narrow = platform::WideToUtf8(wide);
    std::size_t n = std::min<std::size_t>(narrow.size(), static_cast<std::size_t>(size - 1));
    while (n > 0 && n < narrow.size() && (static_cast<unsigned char>(narrow[n]) & 0xC0) == 0x80) {
        --n; // never half a character
    }
    std::memcpy(buffer, narrow.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

void MenuAddItem(HMENU menu, int position, int state, int id, const char* text) {
    std::wstring wide = platform::Utf8ToWide(text);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_FTYPE;
    info.fType = MFT_STRING;
    info.fState = static_cast<UINT>(state);
    info.wID = static_cast<UINT>(id);
    info.dwTypeData = wide.data();
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
}

void RebuildSnapTargets() {}
void SnapMovingWindow(HWND, RECT*) {}

void QIV_ShowTextWindow() {
    ++boxtest::TextWindow().shown;
}

void QIV_Printf(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    boxtest::TextWindow().printed += buffer;
}

void QIV_Input(char* buffer) {
    auto& answers = boxtest::TextWindow().answers;
    std::string line;
    if (!answers.empty()) {
        line = answers.front();
        answers.pop_front();
    }
    std::snprintf(buffer, 256, "%s", line.c_str());
}

namespace boxtest {

TextWindowStandIn& TextWindow() {
    static TextWindowStandIn standIn;
    return standIn;
}

void PumpBoxes() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || IsBoxDialogMessage(&msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpBoxesUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        PumpBoxes();
        platform::testing::ProcessDesktopEvents();
    }
    return true;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

RECT ChildRect(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    POINT topLeft = {r.left, r.top};
    POINT bottomRight = {r.right, r.bottom};
    ScreenToClient(GetParent(child), &topLeft);
    ScreenToClient(GetParent(child), &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

SIZE ClientSize(HWND hwnd) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

void BoxTest::SetUp() {
    WindowTest::SetUp();
    RegisterInputBoxClass(nullptr);
    RegisterButtonBoxClass(nullptr);
    // Low enough that the desktop paints it in one piece (see worker_boxes_test.cpp).
    MainWindow = CreateWindowExW(0, qivtest::RecordingClass(), L"main", WS_VISIBLE | WS_CAPTION,
                                 900, 10, 200, 60, nullptr, nullptr, nullptr, nullptr);
    // The widths and sizes live for the whole run; every test starts from program start.
    qiv_inputBox = InputBoxState();
    qiv_buttonBox = ButtonBoxState();
    TextWindow() = TextWindowStandIn();
    PumpBoxes();
    qivtest::Log().Clear();
}

void BoxTest::TearDown() {
    QIV_DestroyInputBox();
    QIV_DestroyButtonBox();
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
    PumpBoxes();
    WindowTest::TearDown();
}

void BoxTest::Press(HWND fallback, int vk, unsigned modifiers) {
    HWND focus = GetFocus();
    platform::testing::KeyPress(focus ? focus : fallback, vk, modifiers);
    PumpBoxes();
}

} // namespace boxtest
