// The dialog keys of both boxes for the worker's message pump.
#pragma once

#include "platform/win32_user.h"

// Gives msg to the input box's dialog handling, then to the button box's; true when one of
// them took it (it is then dispatched and must not be dispatched again).
bool IsBoxDialogMessage(MSG* msg);
