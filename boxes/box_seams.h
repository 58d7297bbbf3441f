// What the boxes use from the runtime (main window, window texts, menus, snapping) and from
// the text windows (the rename dialogue).
#pragma once

#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "textwin/text_window.h"
