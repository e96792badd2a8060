// The three layer buttons in the top-left corner of the diagram and switching a layer on or off.
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "layout/editor/pointer_range.h"
#include "layout/frame/render.h"
#include "operation/draw/train_drawing.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"

namespace {

constexpr int kLayerButtonWidth = 8;
constexpr int kLayerButtonHeight = 12;

int layerNumber(int layerBit) { return layerBit == 4 ? 3 : layerBit; }

bool trackOnLayer(const TrackRec& t, int layerBit) { return ((t.flags >> 2) & 7) & layerBit; }
bool blockOnLayer(const BlockRec& b, int layerBit) { return ((b.flags >> 1) & 7) & layerBit; }

}  // namespace

void drawLayerButton(int layerBit) {
    if (!gDiagramCanvas) return;
    vestrel::Canvas& c = *gDiagramCanvas;
    const int n = layerNumber(layerBit);
    const int left = kLayerButtonWidth * (n - 1);
    c.Brush.Style = vestrel::BrushStyle::Solid;
    c.Brush.Color = (gVisibleLayers & layerBit) ? kWhiteColour : kBackgroundColour;
    c.FillRect({left, 0, left + kLayerButtonWidth, kLayerButtonHeight});
    c.Brush.Style = vestrel::BrushStyle::Clear;
    c.Font = vestrel::TFont{"MS Serif", 8, kBlackColour};
    c.TextOut(left + 1, 0, std::to_string(n));
}

void toggleLayer(int layerBit) {
    gVisibleLayers ^= static_cast<uint8_t>(layerBit);
    drawLayerButton(layerBit);
    const bool session = sessionRunning();
    if (session) eraseTrainsOnLayer(layerBit);
    for (TrackRec* t : gTracks)
        if (trackOnLayer(*t, layerBit)) drawTrack(*t, 0, 1);
    for (BlockRec* b : gBlocks)
        if (blockOnLayer(*b, layerBit)) drawBlock(*b, 0, 1);
    if (session) redrawErasedTrains();
}

int hitLayerButton() {
    const DiagramPoint p = gMousePoint;
    if (isInDrawingArea(p.x, p.y) != kInDrawingArea) return 0;
    if (p.x > 3 * kLayerButtonWidth || p.y > kLayerButtonHeight) return 0;
    if (p.x < kLayerButtonWidth) return 501;
    if (p.x > 2 * kLayerButtonWidth - 1) return 504;
    return 502;
}
