#pragma once
// The full redraw a loaded layout gets, at the canvas size it loaded with: the harnesses of files that
// reach the drawing run it after each load.
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "operation/draw/train_drawing.h"
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

// The full redraw with the loose wagons and the trains standing on the track drawn over it, as a
// client's diagram is drawn once the server's records are applied.
inline void redrawWithTrainsAtLoadedSize() {
    vestrel::Canvas diagram(gCanvasSize.width, gCanvasSize.height, kBackgroundColour);
    gDiagramCanvas = &diagram;
    recreateBackBuffer();
    drawBackground(1);
    drawAllElements(1);
    drawLooseWagons(1);
    drawTrainsOnTrack(0);
    gDiagramCanvas = nullptr;
}

}  // namespace fuzzsupport
