#pragma once
// The canvases the diagram is drawn on.
namespace vestrel {
class Canvas;
}

// The canvas of the main window's diagram image; every drawing goes there first. Null until the main
// window exists (drawing then goes to the back buffer only when asked).
extern vestrel::Canvas* gDiagramCanvas;
// A copy of the background and the static elements, so that moving trains can restore what lies under them.
extern vestrel::Canvas* gBackBuffer;

// Frees the back buffer and makes it again at the canvas size.
void recreateBackBuffer();

// The canvases one drawing goes to: the diagram canvas, then the back buffer when asked for and when it is
// a different canvas. Returns how many were written to out.
int diagramCanvases(bool withBackBuffer, vestrel::Canvas* out[2]);

// Gives the canvases their new size later, outside the caller (a client's read that ends its first
// copy): the next drawing into them, or the next full redraw, calls `resize` first.
void scheduleCanvasResize(void (*resize)());
// Calls the scheduled resize now, if one is due.
void runScheduledCanvasResize();
