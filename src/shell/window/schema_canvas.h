#pragma once
// The main window's own drawing surface (the diagram's canvases are in layout/draw/diagram_canvas.h).
#include "platform/canvas.h"

// The surface around the diagram: tool bar, legend and status line. Null without main window.
vestrel::Canvas* mainWindowCanvas();
