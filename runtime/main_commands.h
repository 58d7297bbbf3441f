// The main window's commands that create windows through requests, and dropped files.
#pragma once

#include "platform/win32_types.h"

void PasteCommand();
void ImageWindowCommand();
void TextWindowCommand();
void InputBoxCommand();
void ButtonBoxCommand();
void WindowInfoCommand();
void DroppedFiles(HDROP drop);
