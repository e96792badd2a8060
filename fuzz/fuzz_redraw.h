#pragma once
// The full redraw a loaded layout gets, at the canvas size it loaded with: the harnesses of files that
// reach the drawing run it after each load.
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "platform/canvas.h"

namespace fuzzsupport {

inline void redrawAtLoadedSize() {
    vestrel::Canvas diagram(gCanvasSize.width, gCanvasSize.height, kBackgroundColour);
    gDiagramCanvas = &diagram;
    recreateBackBuffer();
    gShowNumbers = gShowSections = 1;
    drawBackground(1);
    drawAllElements(1);
    gDiagramCanvas = nullptr;
}

}  // namespace fuzzsupport
