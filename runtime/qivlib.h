// The QIVLIB programming interface: everything a user program includes. Each subsystem keeps
// its public declarations in its own header, included here.
#pragma once

#include "platform/win32.h"

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "imageops/click_tools.h"
#include "imageops/colors.h"
#include "imageops/drawing.h"
#include "imageops/plots.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "textwin/text_commands.h"
#include "textwin/text_window.h"

// The two entry points every user program supplies. Both run on the worker thread:
// UserInit once when the worker starts, UserMain each time the user chooses Start.
void UserInit();
void UserMain();
