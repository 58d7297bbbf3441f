// The program's entry point: start-up in a fixed order, the main message loop and shutdown.
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"
#include "runtime/subsystem_seams.h"
#include "runtime/text_convert.h"
#include "runtime/worker.h"

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
constexpr const wchar_t* FRAMEWORK_CLASSES[] = {L"qiv_iw", L"qiv_twi", L"qiv_ib", L"qiv_bb"};

wchar_t mainClassName[CLASS_CHARS];
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

// The current directory into the three copies; the log directory ends with '/'. The path is
// taken as its bytes (UTF-8), never through the C++ locale, which cannot convert other
// characters than ASCII and would throw; one that does not fit whole is left out, since a cut
// path names another folder.
void ReadStartDirectory() {
    std::error_code error;
    std::string current = std::filesystem::current_path(error).native();
    if (error || current.size() + 2 > static_cast<std::size_t>(QIV_PATH_BYTES)) {
        current.clear();
    }
    std::snprintf(qiv_loadDir, QIV_PATH_BYTES, "%s", current.c_str());
    std::snprintf(qiv_saveDir, QIV_PATH_BYTES, "%s", current.c_str());
    if (current.empty() || current.back() != '/') {
        current += '/';
    }
    std::snprintf(qiv_logDir, QIV_PATH_BYTES, "%s", current.c_str());
}

bool RegisterOne(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background) {
    WNDCLASSW wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = qiv_instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (!RegisterClassW(&wc)) {
        return false;
    }
    ++registeredClasses;
    return true;
}

bool RegisterClasses() {
    registeredClasses = 0;
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    return RegisterOne(mainClassName, MainWndProc, CS_CLASSDC, SystemColourBrush(COLOR_BTNFACE)) &&
           RegisterOne(FRAMEWORK_CLASSES[0], ImageWindowProcedure(), CS_OWNDC, black) &&
           RegisterOne(FRAMEWORK_CLASSES[1], TextWindowProcedure(), CS_OWNDC, black) &&
           RegisterOne(FRAMEWORK_CLASSES[2], InputBoxProcedure(), CS_OWNDC | CS_DBLCLKS,
                       SystemColourBrush(COLOR_BTNFACE)) &&
           RegisterOne(FRAMEWORK_CLASSES[3], ButtonBoxProcedure(), CS_OWNDC | CS_DBLCLKS,
                       SystemColourBrush(COLOR_BTNFACE));
}

// Classes go with the program, so that a test can start it again in the same process.
void UnregisterClasses() {
    if (registeredClasses > 0) {
        UnregisterClassW(mainClassName, qiv_instance);
    }
    for (int i = 1; i < registeredClasses; ++i) {
        UnregisterClassW(FRAMEWORK_CLASSES[i - 1], qiv_instance);
    }
    registeredClasses = 0;
}

} // namespace

int ChooseInstanceNumber() {
    for (int i = 0; i < QIV_MAX_INSTANCES; ++i) {
        wchar_t name[CLASS_CHARS];
        MainClassName(i, name);
        if (!FindWindowW(name, nullptr)) {
            return i;
        }
    }
    return -1;
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
    HWND hwnd = CreateWindowExW(0, mainClassName, L"QIVLIB 7.3  2009/4/30", MAIN_STYLE, x, y, width,
                                height, nullptr, MainMenu, instance, nullptr);
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
    qiv_ttHeight = 16;
    qiv_ttWidth = 8;
    qiv_ttFont = CreateFontW(qiv_ttHeight, qiv_ttWidth, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, L"ＭＳ ゴシック");
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
    if (WorkerFinished()) {
        UnregisterClasses();
    }
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
    result = ShutDownProgram();
    if (!WorkerFinished()) {
        // Exit gave up waiting for the user program; ending the process is what stops it.
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
