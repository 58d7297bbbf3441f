// The key and button state that desktop input builds up on the GUI thread; every input
// message carries a copy of it.
#pragma once

#include "platform/user/thread_queue.h"
#include "platform/win32_user.h"

#include <Qt>

namespace platform::qt {

InputState& GuiInput();
// Publishes the state for threads that ask (GetAsyncInputState) after a change.
void PublishGuiInput();
void SyncModifiers(Qt::KeyboardModifiers modifiers);
void SyncButtons(Qt::MouseButtons buttons);
// MK_* flags of the current state.
WPARAM MouseKeyFlags();

} // namespace platform::qt
