#include "platform/qt/gui_input.h"

#include "platform/user/desktop_state.h"

namespace platform::qt {

InputState& GuiInput() {
    static InputState state;
    return state;
}

void PublishGuiInput() {
    SetAsyncInputState(GuiInput());
}

void SyncModifiers(Qt::KeyboardModifiers modifiers) {
    auto& down = GuiInput().down;
    down.set(VK_SHIFT, (modifiers & Qt::ShiftModifier) != 0);
    down.set(VK_CONTROL, (modifiers & Qt::ControlModifier) != 0);
    down.set(VK_MENU, (modifiers & Qt::AltModifier) != 0);
}

void SyncButtons(Qt::MouseButtons buttons) {
    auto& down = GuiInput().down;
    down.set(VK_LBUTTON, (buttons & Qt::LeftButton) != 0);
    down.set(VK_RBUTTON, (buttons & Qt::RightButton) != 0);
    down.set(VK_MBUTTON, (buttons & Qt::MiddleButton) != 0);
}

WPARAM MouseKeyFlags() {
    const InputState& s = GuiInput();
    WPARAM flags = 0;
    if (s.IsDown(VK_LBUTTON)) {
        flags |= MK_LBUTTON;
    }
    if (s.IsDown(VK_RBUTTON)) {
        flags |= MK_RBUTTON;
    }
    if (s.IsDown(VK_MBUTTON)) {
        flags |= MK_MBUTTON;
    }
    if (s.IsDown(VK_SHIFT)) {
        flags |= MK_SHIFT;
    }
    if (s.IsDown(VK_CONTROL)) {
        flags |= MK_CONTROL;
    }
    return flags;
}

} // namespace platform::qt
