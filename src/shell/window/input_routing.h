#pragma once
// How the main window's input becomes command codes: keys (as the program's key numbers), pointer
// movements and releases over the window and over the diagram image, page scrolling and drag scrolling.
// While no session runs the codes go to the layout editor, during a session to the control post.
#include <cstdint>

#include "layout/model/layout_model.h"

// The grid the pointer snaps to while an editor operation follows it: step and origin.
struct SnapGrid {
    int16_t step = 0;
    int16_t originX = 0;
    int16_t originY = 0;
};
extern SnapGrid gSnapGrid;
// The editor keeps the grid where the diagram draws it: every grid step from the layout's offset.
void followDiagramGrid();

extern uint8_t gPointerInDiagram;  // non-zero while the pointer events come from the diagram image
extern int8_t gDragCount;          // movements with the left button held; 10 arms the drag scroll
extern DiagramPoint gDragStart;

// The last command handed on: 'E' to the editor, 'C' to the control post (with the post), 0 none.
struct RoutedCommand {
    char target = 0;
    int code = 0;
    int post = 0;
};
const RoutedCommand& lastRoutedCommand();
void forgetRoutedCommand();

// To the control post while a session runs, else to the editor.
void routeCommand(int code);
void routeEditorCommand(int code);
void routeControlPostCommand(int code, int post);

// The key table of the dispatchers: keypad + and - become '+' and '-', letters lower case, keypad
// digits digits; every other key number stays. Each rule looks at the key as it came.
int normalizeKeyCode(int vk);
// gMousePoint := the grid point nearest to (x, y); without a grid step the point itself.
void snapPointToGrid(int32_t x, int32_t y);
// Page Up (33) and Page Down (34) scroll by half the canvas, sideways with Shift.
void scrollByPageKey(int key, int shift);

// A key pressed in the main window: its key number and modifier bits (1 Shift, 2 Alt, 4 Ctrl).
void routeKeyDown(int vk, int modifiers);
void routeKeyUp();
// Pointer movement and button release, from the window itself or forwarded from the diagram image;
// button 1 left, 2 right, 3 middle. During a session a click carries the Alt and Ctrl bits of its
// release (modifiers as for keys) to the control post.
void routePointerMove(int32_t x, int32_t y, bool fromImage);
void routeMouseUp(int32_t x, int32_t y, int button, bool fromImage, int modifiers = 0);
// A press on the diagram image starts the long-press countdown; a movement over it may arm the drag.
void routeImagePress();
void routeImageDrag(int32_t x, int32_t y, bool leftHeld);

// What the routing asks of the main window (nothing happens without one).
void showSnapState(bool snappingOff);   // lblSnapToGrid blue while snapping is off, else grey
void requestHoverInfo(int32_t tag);     // lblInfo's Tag: y * 65536 + x of the point to describe, 0 none
