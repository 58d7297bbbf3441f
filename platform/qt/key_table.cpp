#include "platform/qt/key_table.h"

#include "platform/win32_user.h"

namespace platform::qt {
namespace {

struct KeyEntry {
    int qtKey;
    int vk;
};

// One table for every key that is not a letter or a digit.
constexpr KeyEntry KEYS[] = {
    {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
    {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},
    {Qt::Key_F1, VK_F1},
    {Qt::Key_F2, VK_F2},
    {Qt::Key_F3, VK_F3},
    {Qt::Key_F4, VK_F4},
    {Qt::Key_F5, VK_F5},
    {Qt::Key_F6, VK_F6},
    {Qt::Key_F7, VK_F7},
    {Qt::Key_F8, VK_F8},
    {Qt::Key_F9, VK_F9},
    {Qt::Key_F10, VK_F10},
    {Qt::Key_F11, VK_F11},
    {Qt::Key_F12, VK_F12},
    {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
};

// Keypad keys by their main-keyboard Qt key.
constexpr KeyEntry KEYPAD[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},      {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL},    {Qt::Key_Comma, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
    {Qt::Key_Enter, VK_RETURN},
};

} // namespace

int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
            return VK_NUMPAD0 + (qtKey - Qt::Key_0);
        }
        for (const KeyEntry& e : KEYPAD) {
            if (e.qtKey == qtKey) {
                return e.vk;
            }
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return 'A' + (qtKey - Qt::Key_A);
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return '0' + (qtKey - Qt::Key_0);
    }
    // Shifted digits keep the digit's key code, as on a US keyboard.
    static constexpr KeyEntry SHIFTED_DIGITS[] = {
        {Qt::Key_ParenRight, '0'},  {Qt::Key_Exclam, '1'},    {Qt::Key_At, '2'},
        {Qt::Key_NumberSign, '3'},  {Qt::Key_Dollar, '4'},    {Qt::Key_Percent, '5'},
        {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'},
    };
    for (const KeyEntry& e : SHIFTED_DIGITS) {
        if (e.qtKey == qtKey) {
            return e.vk;
        }
    }
    for (const KeyEntry& e : KEYS) {
        if (e.qtKey == qtKey) {
            return e.vk;
        }
    }
    return 0;
}

int QtKeyOf(int vk, bool* keypad) {
    *keypad = false;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
        return vk; // Qt's codes for letters and digits are their ASCII codes too
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        *keypad = true;
        return Qt::Key_0 + (vk - VK_NUMPAD0);
    }
    for (const KeyEntry& e : KEYPAD) {
        if (e.vk == vk && vk != VK_RETURN) {
            *keypad = true;
            return e.qtKey;
        }
    }
    for (const KeyEntry& e : KEYS) {
        if (e.vk == vk) {
            return e.qtKey;
        }
    }
    return 0;
}

} // namespace platform::qt
