// The main window's commands that create windows through requests, dropped files and the
// files named on the command line.
#pragma once

#include "platform/win32_types.h"

// Start (S), Stop (C) and Exit (X, Esc) work from every window of the program as from the main
// window: hands such a key to the main window and returns true, false for any other key.
bool ForwardProgramKey(WPARAM key);

void PasteCommand();
// Opens a picture file chosen in the open dialog in a new image window, as if dropped.
void OpenImageCommand();
void ImageWindowCommand();
void TextWindowCommand();
void InputBoxCommand();
void ButtonBoxCommand();
void WindowInfoCommand();
void DroppedFiles(HDROP drop);
// Opens the picture files named on the command line, as if dropped.
void OpenFilesOfCommandLine();
