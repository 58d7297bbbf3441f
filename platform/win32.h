// The Win32 subset that the framework uses, implemented on Qt 6. The framework includes only
// this header and calls it as a Win32 program would; on Windows it could include <windows.h>
// and <gdiplus.h> instead.
#pragma once

#include "platform/win32_gdi.h"
#include "platform/win32_gdiplus.h"
#include "platform/win32_shell.h"
#include "platform/win32_types.h"
#include "platform/win32_user.h"
