// Applying a new zoom, scale or turnout size mode to every coordinate of the layout.
#include "layout/draw/diagram_area.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/edit_journal.h"
#include "layout/model/geometry.h"
#include "layout/editor/layout_move.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "shell/window/schema_controls.h"
#include "layout/editor/turntable_operation.h"

namespace {
void scalePoint(DiagramPoint& p, float f) { scalePoints(&p, 0, f); }

int layoutTurntableOnTrack(TurntableRec& t, const TrackRec& track) {
    return layoutTurntableAndTell(t, &track.points[0], &track.points[1]);
}

// Tries every turntable at the new size on scratch copies; the layout itself is not touched.
bool turntablesFit(float f) {
    for (const TurntableRec* t : gTurntables) {
        if (!t->track) continue;
        TurntableRec turntable = *t;
        TrackRec track = *t->track;
        scalePoints(track.points, track.segments, f);
        if (!layoutTurntableOnTrack(turntable, track)) return false;
    }
    return true;
}
}  // namespace

void scalePoints(DiagramPoint* points, int last, float f) {
    for (int k = 0; k <= last; ++k) {
        if (points[k].x == 0) continue;
        points[k].x = roundScale(points[k].x * f);
        points[k].y = roundScale(points[k].y * f);
    }
}

void scaleAllElements(float f) {
    if (f == 1) return;
    for (TrackRec* t : gTracks) scalePoints(t->points, t->segments, f);
    for (BlockRec* b : gBlocks) scalePoints(b->points, b->sections, f);
    for (TurnoutRec* w : gTurnouts) {
        scalePoints(w->legs, 3, f);
        scalePoint(w->centre, f);
    }
    for (SignalRec* s : gSignals) {
        scalePoint(s->outline[0], f);
        layoutSignal(*s, s->outline[0]);
    }
    for (OutputRec* o : gOutputs) {
        scalePoint(o->outline[0], f);
        layoutOutput(*o, o->outline[0]);
    }
    for (InputRec* i : gInputs) {
        scalePoint(i->anchor, f);
        layoutInput(*i, i->anchor);
    }
    for (TurntableRec* t : gTurntables)
        if (t->track) layoutTurntableOnTrack(*t, *t->track);
}

int rescaleLayout(char zoomDigit, char scaleDigit, uint8_t sizeMode, bool withRatio) {
    moveLayout(-gLayoutOffset.x, -gLayoutOffset.y);
    gLayoutOffset = {};
    const char oldZoom = gZoomDigit;
    const char oldScale = gScaleDigit;
    const uint8_t oldMode = gTurnoutSizeMode;
    setScaleParameters(zoomDigit, scaleDigit, sizeMode);
    // From the zoom as stored, so that a zoom given as a number scales like its digit.
    float f = static_cast<float>(gZoomDigit - 47) / static_cast<float>(oldZoom - 47);
    if (withRatio) f *= gRescaleFactor;
    if (!turntablesFit(f)) {
        setScaleParameters(oldZoom, oldScale, oldMode);
        return 0;
    }
    scaleAllElements(f);
    // Every coordinate and the scale itself changed: the layout must be saved again.
    gDirtyFlags |= 1;
    resetDrawingArea();
    emptyEditJournal();
    return 1;
}

int resetDrawingArea() {
    const int32_t w = gCanvasSize.width;
    const int32_t h = gCanvasSize.height;
    gDrawArea = {0, 0, w, h - 88};
    gCanvasCentre = {w / 2, h / 2};
    placeDiagramControls(w, h);
    gSavedLayoutOffset = gLayoutOffset;
    gLayoutOffset = {};
    moveLayout(-gSavedLayoutOffset.x, -gSavedLayoutOffset.y);
    recreateBackBuffer();
    redrawSchema(1);
    return 1;
}
