#include <gtest/gtest.h>

#include <QKeyEvent>

#include "platform/virtual_keys.h"

using namespace vestrel;

TEST(VirtualKeys, QtKeysBecomeTheProgramsKeyNumbers) {
    struct Case {
        int key;
        unsigned mods;
        uint32_t scan;
        int vk;
        int modifiers;
    } cases[] = {
        {Qt::Key_A, 0, 0, 'A', 0},
        {Qt::Key_W, Qt::ShiftModifier, 0, 'W', kShiftBit},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, 0, 'Z', kCtrlBit | kShiftBit},
        {Qt::Key_5, 0, 0, '5', 0},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0, '1', kShiftBit},    // no scan code: US positions
        {Qt::Key_Exclam, Qt::ShiftModifier, 18, '9', kShiftBit},   // scan code wins (another layout)
        {Qt::Key_5, Qt::KeypadModifier, 0, 101, 0},                // keypad digits are told apart
        {Qt::Key_Plus, Qt::KeypadModifier, 0, 107, 0},
        {Qt::Key_Minus, Qt::KeypadModifier, 0, 109, 0},
        {Qt::Key_Plus, Qt::ShiftModifier, 21, VK_OEM_PLUS, kShiftBit},
        {Qt::Key_Left, Qt::KeypadModifier, 0, 37, 0},              // keypad with Num Lock off
        {Qt::Key_F1, 0, 0, 112, 0},
        {Qt::Key_F12, 0, 0, 123, 0},
        {Qt::Key_Escape, 0, 0, 27, 0},
        {Qt::Key_Space, 0, 0, 32, 0},
        {Qt::Key_PageDown, Qt::ShiftModifier, 0, 34, kShiftBit},
        {Qt::Key_Return, 0, 0, 13, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, 0, 13, 0},
        {Qt::Key_Delete, Qt::ControlModifier, 0, 46, kCtrlBit},
        {Qt::Key_Insert, Qt::AltModifier, 0, 45, kAltBit},
    };
    for (const auto& c : cases) {
        TranslatedKey t = translateKey(c.key, c.mods, c.scan);
        EXPECT_EQ(t.vk, c.vk) << "qt key " << std::hex << c.key;
        EXPECT_EQ(t.modifiers, c.modifiers) << "qt key " << std::hex << c.key;
    }
}

TEST(VirtualKeys, TranslatesARealKeyEvent) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, "7");
    EXPECT_EQ(translateKey(e).vk, 103);
}
