// Translation of Qt keys into Win32 virtual-key codes.
#pragma once

#include <Qt>

namespace platform::qt {

// The virtual-key code of a Qt key (0 when it has none). Keypad keys are told apart by the
// keypad modifier, as Qt reports them.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// The reverse, for synthetic input: the Qt key of a virtual-key code (0 when none) and
// whether it is a keypad key.
int QtKeyOf(int vk, bool* keypad);

} // namespace platform::qt
