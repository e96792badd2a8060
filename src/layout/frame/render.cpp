#include "layout/frame/render.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "operation/draw/train_drawing.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/window/main_window.h"
#include "shell/window/schema_canvas.h"
#include "shell/window/schema_controls.h"
#include "shell/window/status_line.h"
#include "steps/editor/step_boxes.h"

namespace {

constexpr int kLayerBits[3] = {1, 2, 4};

// The direction legend beside the file panel: a cyan line for "HEEN" and a magenta one for "TERUG".
void drawDirectionLegend(vestrel::Canvas& c) {
    int x = 0;
    int y = 0;
    if (!directionLegendOrigin(x, y)) return;
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Pen.Mode = vestrel::PenMode::Copy;
    c.Pen.Width = 1;
    c.Brush.Style = vestrel::BrushStyle::Solid;
    c.Brush.Color = vestrel::clBtnFace;
    c.Font = vestrel::TFont{"Arial", 8, vestrel::clBlack};
    c.Pen.Color = kCyanColour;
    c.MoveTo(x, y);
    c.LineTo(x + 24, y);
    c.TextOut(x + 32, y - 8, "HEEN");
    c.Pen.Color = kMagentaColour;
    c.MoveTo(x + 86, y);
    c.LineTo(x + 110, y);
    c.TextOut(x + 118, y - 8, "TERUG");
}

bool gFullRedrawScheduled = false;

}  // namespace

void scheduleFullRedraw() { gFullRedrawScheduled = true; }

bool runScheduledFullRedraw() {
    if (!gFullRedrawScheduled) return false;
    redrawSchema(1);
    return !gFullRedrawScheduled;
}

void redrawSchema(int mode) {
    // The canvas keeps no font cache to forget: every text drawing sets its own font.
    const bool repainting = gRepaintRequest == 1;
    runScheduledCanvasResize();
    if (!sessionRunning()) {
        if (!repainting) updateTitleBar();
        if (vestrel::Canvas* c = mainWindowCanvas()) {
            drawDirectionLegend(*c);
            drawToolbar();
        }
    }
    if (!repainting) {
        if (mode != 0) gFullRedrawScheduled = false;
        drawBackground(mode);
        drawAllElements(mode);
        for (int bit : kLayerBits) drawLayerButton(bit);
    }
    if (gStatusLineShown) setStatusLine(std::string(), 0);
}

void drawAllElements(int mode) {
    drawStepBoxes(mode);
    for (TrackRec* t : gTracks) drawTrack(*t, 0, mode);
    for (BlockRec* b : gBlocks) {
        if (sessionRunning()) drawBlockSectionMarks(*b, 0, mode);
        drawBlock(*b, 0, mode);
    }
    for (TurnoutRec* t : gTurnouts) drawTurnout(*t, 0, mode);
    for (SignalRec* s : gSignals) drawSignal(*s, 0, mode);
    for (OutputRec* o : gOutputs) drawOutput(*o, 0, mode);
    for (InputRec* i : gInputs) drawInput(*i, 0, mode);
    for (TurntableRec* t : gTurntables) drawTurntable(*t, 0, mode);
    drawTrainsOnTrack(mode);
    drawLooseWagons(mode);
}

void updateTitleBar() { updateTitleTexts(); }

void drawDeadEndMark(int x, int y) {
    if (gDiagramCanvas) drawLampSquare(x, y, 3, kRedColour, 1, *gDiagramCanvas);
}
