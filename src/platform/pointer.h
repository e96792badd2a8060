#pragma once
// Moving the screen pointer.

namespace vestrel {

// True where the display lets a program move the pointer (X11); elsewhere (Wayland, offscreen) callers
// keep a logical pointer position only.
bool pointerCanMove();

// Moves the pointer to a global screen position; false where the display does not allow it.
bool movePointerTo(int globalX, int globalY);

}  // namespace vestrel
