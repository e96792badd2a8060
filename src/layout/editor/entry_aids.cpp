#include "layout/editor/entry_aids.h"

#include "layout/draw/diagram_area.h"
#include "layout/editor/drawing_aids.h"
#include "layout/editor/pointer_range.h"
#include "shell/model/input_state.h"

namespace {
bool gCrosshairShown = false;
int gBands = 0;
// The ends each drawn band was drawn with, so that it is erased where it stands.
DiagramPoint gBandEnds[kMaxSections + 1][2];
}  // namespace

void setEntryRange() { gDrawArea = {0, 0, gCanvasSize.width, gCanvasSize.height - 88}; }

void showEntryCrosshair() {
    drawCrosshair(gMousePoint.x, gMousePoint.y);
    gLastPointer = gMousePoint;
    gCrosshairShown = true;
}

void moveEntryCrosshair() {
    eraseEntryCrosshair();
    clampCursor();
    showEntryCrosshair();
}

void eraseEntryCrosshair() {
    if (gCrosshairShown) drawCrosshair(gLastPointer.x, gLastPointer.y);
    gCrosshairShown = false;
}

void forgetEntryCrosshair() { gCrosshairShown = false; }

void setRubberBands(const DiagramPoint* points, int count) {
    count = count < 0 ? 0 : (count > kMaxSections ? kMaxSections : count);
    while (gBands > count) {
        --gBands;
        drawRubberSegment(gBandEnds[gBands][0], gBandEnds[gBands][1]);
    }
    for (; gBands < count; ++gBands) {
        gBandEnds[gBands][0] = points[gBands];
        gBandEnds[gBands][1] = points[gBands + 1];
        drawRubberSegment(points[gBands], points[gBands + 1]);
    }
}

int rubberBands() { return gBands; }
