// The main window's commands that create windows through requests, dropped files and the
// files named on the command line.
#pragma once

#include "platform/win32_types.h"

void PasteCommand();
void ImageWindowCommand();
void TextWindowCommand();
void InputBoxCommand();
void ButtonBoxCommand();
void WindowInfoCommand();
void DroppedFiles(HDROP drop);
// Opens the picture files named on the command line, as if dropped.
void OpenFilesOfCommandLine();
