#pragma once
// Key events arrive from Qt; the program's command codes are built on the classic virtual-key numbers
// (letters 65..90, digits 48..57, keypad digits 96..105, keypad + 107 and - 109, F1 112, arrows 37..40).
// One translator turns a Qt key event into that number plus the modifier bits.
#include <cstdint>

class QKeyEvent;

namespace vestrel {

enum VirtualKey : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_PAUSE = 19,
    VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
    VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46,
    VK_NUMPAD0 = 96, VK_MULTIPLY = 106, VK_ADD = 107, VK_SEPARATOR = 108, VK_SUBTRACT = 109,
    VK_DECIMAL = 110, VK_DIVIDE = 111, VK_F1 = 112, VK_F12 = 123, VK_NUMLOCK = 144, VK_SCROLL = 145,
    VK_OEM_1 = 186, VK_OEM_PLUS = 187, VK_OEM_COMMA = 188, VK_OEM_MINUS = 189, VK_OEM_PERIOD = 190,
    VK_OEM_2 = 191, VK_OEM_3 = 192, VK_OEM_4 = 219, VK_OEM_5 = 220, VK_OEM_6 = 221, VK_OEM_7 = 222,
};

// Modifier bits as the program keeps them: 1 Shift, 2 Alt, 4 Ctrl.
constexpr int kShiftBit = 1, kAltBit = 2, kCtrlBit = 4;

struct TranslatedKey {
    int vk = 0;         // 0 when the key has no virtual-key number
    int modifiers = 0;  // kShiftBit | kAltBit | kCtrlBit
};

TranslatedKey translateKey(const QKeyEvent& e);
// The same from the parts of an event; scanCode is the platform's (evdev + 8 on X11 and Wayland), 0 unknown.
TranslatedKey translateKey(int qtKey, unsigned qtModifiers, uint32_t scanCode);

}  // namespace vestrel
