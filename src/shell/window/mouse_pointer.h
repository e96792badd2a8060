#pragma once
// The mouse pointer over the main window.
#include <cstdint>

extern uint8_t gPointerShown;  // 1 after showMousePointer, 0 after hideMousePointer

void showMousePointer();
void hideMousePointer();
// Puts the pointer on diagram point (x, y) where the display allows it; gMousePoint follows in any case.
// 1 when the screen pointer was moved.
int moveMouseToPoint(int x, int y);
