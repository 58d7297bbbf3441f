// The text windows' commands: log files, copying a log, the command prompt, About and the
// window-information report, reached through each window's pop-up menu, Ctrl shortcuts and
// Space.
#pragma once

#include "platform/win32_types.h"

#include <string>

// Command identifiers of the text window (WM_COMMAND).
constexpr UINT TEXT_CMD_DESTROY = 1006;
constexpr UINT TEXT_CMD_ABOUT = 1020;
constexpr UINT TEXT_CMD_START_LOG = 1024;
constexpr UINT TEXT_CMD_STOP_LOG = 1025;
constexpr UINT TEXT_CMD_PROMPT = 1029;
constexpr UINT TEXT_CMD_COPY_LOG = 1030;
constexpr UINT TEXT_CMD_WINDOW_INFO = 1045;
constexpr UINT TEXT_CMD_SELECT = 1069;

// Window n's log file: QIVLIB<instance><n>.LOG in the start directory.
std::string LogFileName(int n);
// 0 started (file created or emptied) or resumed; 1 already logging; 2 the file could not be
// created (the user is told); 3 n out of range or not open.
int QIV_StartLog(int n);
// 0 paused (or already paused); 1 no log was started; 2 n out of range or not open.
int QIV_StopLog(int n);
// Closes the log of every open text window (Exit). Closing a window closes its own.
void QIV_CloseLogs();
// The log file on the clipboard as text; logging goes on. 0 copied; 1 the clipboard could not
// be opened; 2 the file could not be opened; 3 no memory (the user is told of 2 and 3); 4 n
// out of range or not open.
int QIV_CopyLog(int n);

// One "Cmd>" prompt on the current text window: exit, start, help, ver, color (exactly, case
// and all). 0 done; 1 unknown command; 2 refused, another line being read.
int CommandPrompt();
// Light green on dark grey, the library's name and version in text window n, made current.
void AboutCommand(int n);
// Prints the window report into text window n (made current) and puts the source that
// recreates the layout on the clipboard as text.
void WindowInfoReport(int n);

// The pop-up menu of text window hwnd (number n) at the cursor.
void TextWindowMenu(int n, HWND hwnd);
// A WM_COMMAND of text window n.
void TextWindowCommand(int n, UINT id);
