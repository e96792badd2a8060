#include "platform/virtual_keys.h"

#include <QKeyEvent>

namespace vestrel {
namespace {

// Keys whose number depends on where they sit, not on the character they give with Shift
// (Shift+1 is '!' to Qt but key 49 to the program): the platform scan codes (evdev + 8) of a
// standard keyboard's main block.
struct ScanEntry {
    uint32_t scan;
    int vk;
};
constexpr ScanEntry kScanTable[] = {
    {10, '1'}, {11, '2'}, {12, '3'}, {13, '4'}, {14, '5'}, {15, '6'}, {16, '7'}, {17, '8'}, {18, '9'},
    {19, '0'}, {20, VK_OEM_MINUS}, {21, VK_OEM_PLUS}, {34, VK_OEM_4}, {35, VK_OEM_6}, {47, VK_OEM_1},
    {48, VK_OEM_7}, {49, VK_OEM_3}, {51, VK_OEM_5}, {59, VK_OEM_COMMA}, {60, VK_OEM_PERIOD}, {61, VK_OEM_2},
};

// Shifted characters of a US keyboard, for platforms that give no scan code (offscreen, some Wayland).
int unshiftedDigitOrOem(int key) {
    switch (key) {
        case Qt::Key_Exclam: return '1';
        case Qt::Key_At: return '2';
        case Qt::Key_NumberSign: return '3';
        case Qt::Key_Dollar: return '4';
        case Qt::Key_Percent: return '5';
        case Qt::Key_AsciiCircum: return '6';
        case Qt::Key_Ampersand: return '7';
        case Qt::Key_Asterisk: return '8';
        case Qt::Key_ParenLeft: return '9';
        case Qt::Key_ParenRight: return '0';
        case Qt::Key_Minus: case Qt::Key_Underscore: return VK_OEM_MINUS;
        case Qt::Key_Equal: case Qt::Key_Plus: return VK_OEM_PLUS;
        case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
        case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
        case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
        case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
        case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
        case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
        case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
        case Qt::Key_Period: case Qt::Key_Greater: return VK_OEM_PERIOD;
        case Qt::Key_Slash: case Qt::Key_Question: return VK_OEM_2;
        default: return 0;
    }
}

int keypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + (key - Qt::Key_0);
    switch (key) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Enter: return VK_RETURN;
        default: return 0;  // with Num Lock off the keypad gives navigation keys, handled as such
    }
}

int namedKey(int key) {
    switch (key) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt: return VK_MENU;
        case Qt::Key_Pause: return VK_PAUSE;
        case Qt::Key_CapsLock: return VK_CAPITAL;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_NumLock: return VK_NUMLOCK;
        case Qt::Key_ScrollLock: return VK_SCROLL;
        default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    return 0;
}

}  // namespace

TranslatedKey translateKey(int qtKey, unsigned qtModifiers, uint32_t scanCode) {
    TranslatedKey out;
    if (qtModifiers & Qt::ShiftModifier) out.modifiers |= kShiftBit;
    if (qtModifiers & Qt::AltModifier) out.modifiers |= kAltBit;
    if (qtModifiers & Qt::ControlModifier) out.modifiers |= kCtrlBit;

    if (qtModifiers & Qt::KeypadModifier) {
        if (int vk = keypadKey(qtKey)) {
            out.vk = vk;
            return out;
        }
    }
    if (int vk = namedKey(qtKey)) {
        out.vk = vk;
        return out;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {  // letters follow the user's layout
        out.vk = 'A' + (qtKey - Qt::Key_A);
        return out;
    }
    if (scanCode != 0) {
        for (const auto& e : kScanTable)
            if (e.scan == scanCode) {
                out.vk = e.vk;
                return out;
            }
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        out.vk = '0' + (qtKey - Qt::Key_0);
        return out;
    }
    out.vk = unshiftedDigitOrOem(qtKey);
    return out;
}

TranslatedKey translateKey(const QKeyEvent& e) {
    return translateKey(e.key(), static_cast<unsigned>(e.modifiers()), e.nativeScanCode());
}

}  // namespace vestrel
