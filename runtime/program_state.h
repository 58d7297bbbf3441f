// Process-wide state of the start-up and the main window. The main window belongs to the main
// thread; the other subsystems read these values (the owner window, the start directories,
// the drawing font) but never change them.
#pragma once

#include "platform/win32_types.h"

constexpr int QIV_MAX_INSTANCES = 10;
// The library's name and version: the main window's caption and the About line.
constexpr char QIV_BANNER[] = "QIVLIB 7.3  2009/4/30";
constexpr int QIV_PATH_BYTES = 4096; // any path the system takes, with its terminator

// Which of the ten concurrent instances this process is; part of the log file names.
extern int InstanceNumber;
extern HINSTANCE qiv_instance;

// The main window, owner of every framework window, and its parts.
extern HWND MainWindow;
extern HWND StatusLine;
extern HMENU MainMenu;
extern HDC MainWindowDC;
// Colour depth of the display, read when the main window is created.
extern int ScreenBitsPerPixel;

// The directory current at start-up: the image load dialog starts in the first copy, the save
// dialog in the second; the third ends with '/' and holds the text window logs.
extern char qiv_loadDir[QIV_PATH_BYTES];
extern char qiv_saveDir[QIV_PATH_BYTES];
extern char qiv_logDir[QIV_PATH_BYTES];

// The TrueType drawing font of text drawing and its size; its colour and the text cursor are
// declared with text drawing (imageops/text_drawing.h).
extern HFONT qiv_ttFont;
extern int qiv_ttHeight;
extern int qiv_ttWidth;

// Main window command identifiers.
constexpr int CMD_START = 1001;
constexpr int CMD_EXIT = 1002;
constexpr int CMD_STOP = 1003;
constexpr int CMD_PASTE = 1026;
constexpr int CMD_IMAGE_WINDOW = 1027;
constexpr int CMD_TEXT_WINDOW = 1028;
constexpr int CMD_INPUT_BOX = 1044;
constexpr int CMD_WINDOW_INFO = 1045;
constexpr int CMD_BUTTON_BOX = 1051;
constexpr int CMD_OPEN_IMAGE = 1052;

// Registers the classes of the framework's windows ("qiv_iw", "qiv_twi", "qiv_ib", "qiv_bb")
// with their procedures, as start-up does after the main window's class; returns how many were
// registered, in that order, before one failed (FRAMEWORK_CLASS_COUNT: all).
constexpr int FRAMEWORK_CLASS_COUNT = 4;
int RegisterFrameworkClasses(HINSTANCE instance);
// The name of framework class i (0..3, in registration order), else null.
const wchar_t* FrameworkClassName(int i);
// Start-up up to the message loop: 0 when the main window runs; 1 when the instance limit is
// reached (after telling the user) or a window class cannot be registered.
int StartProgram(HINSTANCE instance);
// The main thread's message loop, until WM_QUIT.
void RunMessageLoop();
// Releases what start-up made and returns WinMain's exit code.
int ShutDownProgram();

// The lowest instance number whose main window class no running process uses and that no
// other process has claimed; claims it (dropping an earlier claim of this process) until
// ReleaseInstanceNumber or the process ends. -1 if all ten are taken.
int ChooseInstanceNumber();
void ReleaseInstanceNumber();

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Start, Stop and Exit as the menu and the keys perform them.
void StartCommand();
void StopCommand();
void ExitCommand();
