// Win32 USER subset: window classes and windows, messages and queues, geometry, input state,
// menus, message boxes and system metrics.
#pragma once

#include "platform/win32_types.h"
