#pragma once
// The drawing surfaces of the main window.
#include "platform/canvas.h"

// The canvas of the diagram image imgSchema: every element drawing paints on it. Null without main window.
extern vestrel::Canvas* gDiagramCanvas;
// Background and static elements of the diagram, so that moving trains can restore what lies under them.
extern vestrel::Canvas gBackBuffer;
// The main window's own surface around the diagram: tool bar, legend and status line. Null without main window.
vestrel::Canvas* mainWindowCanvas();
// Makes gBackBuffer anew as an image of the main window's client area (empty without main window).
void makeBackBuffer();
