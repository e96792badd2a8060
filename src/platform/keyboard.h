#pragma once
// Keyboard state the program reads outside key events.

namespace vestrel {

// Caps Lock state: from the keyboard's LED where the system shows it; false where there is none
// (the offscreen platform, a virtual display without a keyboard).
bool capsLockOn();

// Tests set the state: 0 off, 1 on; -1 returns to the keyboard's own state.
void setCapsLockForTest(int state);

}  // namespace vestrel
