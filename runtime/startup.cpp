// The program's entry point: start-up in a fixed order, the main message loop and shutdown.
#include "imageops/text_drawing.h"
#include "imagewin/image_commands.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/text_convert.h"
#include "runtime/worker.h"
#include "textwin/text_window.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr int CLASS_CHARS = 11;
constexpr int MAIN_CLIENT_WIDTH = 240;
constexpr int DROP_HEIGHT = 55;
constexpr DWORD MAIN_STYLE = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;

wchar_t mainClassName[CLASS_CHARS];
HANDLE instanceClaim = nullptr; // held while this process uses its instance number
int registeredClasses = 0;

void MainClassName(int instance, wchar_t name[CLASS_CHARS]) {
    std::swprintf(name, CLASS_CHARS, L"qivlib_mw%d", instance);
}

HBRUSH SystemColourBrush(int index) {
    return reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(index + 1));
}

void ResetSharedState() {
    StartRequested = 0;
    Running = 0;
    StopRequested = 0;
    ExitState = 0;
    InputActive = 0;
    RequestCode = 0;
    RequestDone = 1;
    ResetImageWindowTable();
    ResetTextWindowTable();
    ResetCustomColours();
}

void CopyIfFits(const std::string& text, char* out) {
    if (text.size() < QIV_PATH_BYTES) {
        std::memcpy(out, text.c_str(), text.size() + 1);
    } else {
        out[0] = 0;
    }
}

// The current directory into the three copies; the log directory ends with '/'. The name is
// read as UTF-8 bytes: a wide path would go through the C locale, which fails on non-ASCII
// names. A name too long for a copy leaves it empty, so names resolve against the current
// directory rather than against a cut, different one.
void ReadStartDirectory() {
    std::error_code error;
    const std::u8string name = std::filesystem::current_path(error).u8string();
    std::string current = error ? std::string() : std::string(name.begin(), name.end());
    CopyIfFits(current, qiv_loadDir);
    CopyIfFits(current, qiv_saveDir);
    if (!current.empty() && current.back() != '/') {
        current += '/';
    }
    CopyIfFits(current, qiv_logDir);
}

bool RegisterClasses() {
    registeredClasses = 0;
    WNDCLASSW wc = {};
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = qiv_instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = SystemColourBrush(COLOR_BTNFACE);
    wc.lpszClassName = mainClassName;
    if (!RegisterClassW(&wc)) {
        return false;
    }
    registeredClasses = 1 + RegisterFrameworkClasses(qiv_instance);
    return registeredClasses == 1 + FRAMEWORK_CLASS_COUNT;
}

// Classes go with the program, so that a test can start it again in the same process.
void UnregisterClasses() {
    if (registeredClasses > 0) {
        UnregisterClassW(mainClassName, qiv_instance);
    }
    for (int i = 1; i < registeredClasses; ++i) {
        UnregisterClassW(FrameworkClassName(i - 1), qiv_instance);
    }
    registeredClasses = 0;
}

} // namespace

int ChooseInstanceNumber() {
    ReleaseInstanceNumber();
    for (int i = 0; i < QIV_MAX_INSTANCES; ++i) {
        wchar_t name[CLASS_CHARS];
        MainClassName(i, name);
        if (FindWindowW(name, nullptr)) {
            continue;
        }
        // Programs started together both see no window yet: the mutex settles which one gets
        // the number, and dies with its holder.
        wchar_t claim[32];
        std::swprintf(claim, 32, L"qivlib-instance-%d", i);
        HANDLE mutex = CreateMutexW(nullptr, TRUE, claim);
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            continue;
        }
        instanceClaim = mutex;
        return i;
    }
    return -1;
}

void ReleaseInstanceNumber() {
    if (instanceClaim != nullptr) {
        CloseHandle(instanceClaim);
        instanceClaim = nullptr;
    }
}

int StartProgram(HINSTANCE instance) {
    int number = ChooseInstanceNumber();
    if (number < 0) {
        MessageBoxW(nullptr, L"Over instance limit!", L"QIVLIB", MB_OK);
        return 1;
    }
    InstanceNumber = number;
    MainClassName(number, mainClassName);
    StartImageCodecs();
    ResetSharedState();
    qiv_instance = instance;
    ReadStartDirectory();
    if (!RegisterClasses()) {
        UnregisterClasses();
        ReleaseInstanceNumber();
        StopImageCodecs();
        return 1;
    }

    int fullWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    int fullHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    MainMenu = CreateMenu();
    MenuAddItem(MainMenu, 0, 0, CMD_START, "Start(&S)");
    MenuAddItem(MainMenu, 1, 0, CMD_STOP, "Stop(&C)");
    MenuAddItem(MainMenu, 2, 0, CMD_EXIT, "Exit(&X)");
    // The menu's height is part of the client height asked for, so no menu flag here.
    RECT frame = {0, 0, MAIN_CLIENT_WIDTH, GetSystemMetrics(SM_CYMENU) + 32};
    AdjustWindowRect(&frame, MAIN_STYLE, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (fullWidth - width) / 2;
    // Created above its resting place; the drop animation brings it down.
    int y = fullHeight + GetSystemMetrics(SM_CYCAPTION) - height - DROP_HEIGHT;
    wchar_t caption[sizeof QIV_BANNER];
    Utf8ToWide(QIV_BANNER, caption, sizeof QIV_BANNER);
    HWND hwnd = CreateWindowExW(0, mainClassName, caption, MAIN_STYLE, x, y, width, height, nullptr,
                                MainMenu, instance, nullptr);
    if (!hwnd) {
        DestroyMenu(MainMenu);
        MainMenu = nullptr;
        UnregisterClasses();
        StopImageCodecs();
        return 1;
    }

    char depth[16];
    std::snprintf(depth, sizeof depth, "%d-bit color", ScreenBitsPerPixel);
    QIV_SetStatus(depth);
    DragAcceptFiles(MainWindow, TRUE);
    UpdateWindow(MainWindow);
    MainWindowDC = GetDC(MainWindow);
    CreateTrueTypeFont();
    qiv_tttc = 0xFFFFFF;
    qiv_textX = 0;
    qiv_textLeft = 0;
    qiv_textY = 0;
    return 0;
}

void RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int ShutDownProgram() {
    if (!WorkerFinished()) {
        // A worker that ignored Exit may still be drawing with the font and the codecs: nothing
        // it uses goes away under it. The caller ends the process.
        return 0;
    }
    if (qiv_ttFont) {
        DeleteObject(qiv_ttFont);
        qiv_ttFont = nullptr;
    }
    if (MainMenu) {
        DestroyMenu(MainMenu);
        MainMenu = nullptr;
    }
    StopImageCodecs();
    ReleaseWorkerThread();
    UnregisterClasses();
    ReleaseInstanceNumber();
    if (MainWindowDC) {
        ReleaseDC(MainWindow, MainWindowDC);
    }
    MainWindow = nullptr;
    StatusLine = nullptr;
    MainWindowDC = nullptr;
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int result = StartProgram(instance);
    if (result != 0) {
        return result;
    }
    OpenFilesOfCommandLine();
    RunMessageLoop();
    if (!WorkerFinished()) {
        // Exit gave up waiting for the user program; ending the process at once is what stops
        // it, before anything it may still be using is released.
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return ShutDownProgram();
}
