// What the runtime needs from the other subsystems: the worker-side actions of the requests,
// the text window prompts, and what start-up, Exit, snapping and the pump ask of each kind of
// window. Each function belongs to the subsystem named in its group and is defined there.
#pragma once

#include "platform/win32_user.h"
#include "runtime/control_words.h"

// The window procedures of the four framework classes that start-up registers.
WNDPROC ImageWindowProcedure();
WNDPROC TextWindowProcedure();
WNDPROC InputBoxProcedure();
WNDPROC ButtonBoxProcedure();

// Image windows. Worker side of 9001 (number already checked to be below 256) and 9002.
int CreateImageWindowForRequest(const RequestBlock& args);
void UpdateImageForRequest(const RequestBlock& args);

// Image files. Worker side of 9003, 9004 and 9008; GDI+ start and shutdown.
int LoadImageForRequest(const RequestBlock& args);
void PasteBitmapForRequest(const RequestBlock& args);
int RestoreImageForRequest();
void StartImageCodecs();
void StopImageCodecs();
// The colour dialog's 16 remembered custom colours, zeroed at start-up.
void ResetCustomColours();

// Text windows. Worker side of 9005 (number below 256); the table reset of start-up (every
// slot free, the remembered input line empty); Exit's closing of the logs; the window of an
// open text window number (null when not open); the current text window's number; the
// creation prompts, which print to and read a line (at most 255 bytes) from the current text
// window.
void OpenTextWindowForRequest(const RequestBlock& args);
void ResetTextWindowTable();
void CloseTextWindowLogs();
HWND TextWindowHandle(int number);
int CurrentTextWindowNumber();
void PromptPrint(const char* text);
void PromptInput(char line[256]);

// Input box and button box. Worker side of 9006 and 9007 (an existing box is destroyed
// first); their windows while they exist, for snapping and the pump's dialog handling.
void OpenInputBoxForRequest(const RequestBlock& args);
void OpenButtonBoxForRequest(const RequestBlock& args);
HWND InputBoxWindow();
HWND ButtonBoxWindow();
