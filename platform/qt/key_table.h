// Translation of Qt keys into Win32 virtual-key codes.
#pragma once

#include <Qt>

namespace platform::qt {

// The virtual-key code of a Qt key (0 when it has none). Keypad keys are told apart by the
// keypad modifier, as Qt reports them.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

} // namespace platform::qt
