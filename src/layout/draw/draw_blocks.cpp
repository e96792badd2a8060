// Drawing connecting tracks and blocks.
#include "layout/model/display_settings.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/draw/diagram_canvas.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"

using vestrel::Canvas;

namespace {
// Layer bits 1, 2, 4 of an element; hidden when its layer is switched off in gVisibleLayers.
bool onHiddenLayer(uint8_t layerBits) { return layerBits && !(layerBits & gVisibleLayers); }
uint8_t trackLayer(const TrackRec& t) { return (t.flags >> 2) & 7; }
uint8_t blockLayer(const BlockRec& b) { return (b.flags >> 1) & 7; }

constexpr uint8_t kBlockReserved = 0x01;
constexpr uint8_t kBlockAlarm = 0x04;
constexpr uint8_t kBlockIncomplete = 0x40;

struct Colours {
    uint32_t line;
    uint32_t shadow;
};

// The colour of a block without running state: reversing loop, allowed direction or none.
uint32_t blockBaseColour(const BlockRec& b) {
    if (b.flags & 1) return kLightOrangeColour;
    if (b.allowedDirection == 'H') return kCyanColour;
    if (b.allowedDirection == 'T') return kMagentaColour;
    return kWhiteColour;
}

Colours fadedOnHiddenLayer(const BlockRec& b, uint32_t line) {
    const uint32_t shadow = (b.state & kBlockAlarm) ? kRedColour : kShadowColour;
    if (onHiddenLayer(blockLayer(b))) return {hiddenLayerColour(line), hiddenLayerColour(shadow)};
    return {line, shadow};
}

DiagramPoint midpoint(DiagramPoint a, DiagramPoint b) {
    return {static_cast<int32_t>((int64_t{a.x} + b.x) / 2), static_cast<int32_t>((int64_t{a.y} + b.y) / 2)};
}

void drawBlockNumbers(const BlockRec& b, int erase, Canvas& canvas) {
    drawElementNumber(midpoint(b.points[0], b.points[1]), b.number, erase, canvas);
    drawElementNumber(midpoint(b.points[b.sections - 1], b.points[b.sections]), b.number, erase, canvas);
}

uint32_t sectionColour(const BlockRec& b, int s) {
    if (gShowBlockFeedback && (b.occupiedSections & (1 << s))) return kMaroonColour;
    const bool unreported = b.sectionKinds[s] != 0 && b.sectionInputs[s + 1] == 0;
    if ((gShowConnections && (b.state & kBlockReserved)) || ((b.state & kBlockIncomplete) && unreported))
        return kYellowColour;
    return blockBaseColour(b);
}
}  // namespace

void drawTrack(TrackRec& t, int erase, int backBuffer) {
    if (t.flags & 2) return;  // a turntable's bridge belongs to the turntable
    uint32_t colour = (t.vehicleFlags & 0x80) ? kMaroonColour : (t.flags & 1) ? kLightOrangeColour : kWhiteColour;
    uint32_t shadow = kShadowColour;
    if (onHiddenLayer(trackLayer(t))) {
        colour = hiddenLayerColour(colour);
        shadow = hiddenLayerColour(shadow);
    }
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) drawPolyline(t.points, t.segments, colour, shadow, erase, *canvases[k]);
}

void drawBlock(BlockRec& b, int erase, int backBuffer) {
    if (!sessionRunning()) drawBlockSectionMarks(b, erase, backBuffer);
    if (!erase && (gShowBlockFeedback || (b.state & kBlockIncomplete))) {
        for (int s = 0; s < b.sections; ++s) drawBlockSegment(b, s, backBuffer);
        return;
    }
    const uint32_t line = (gShowConnections && (b.state & kBlockReserved)) ? kYellowColour : blockBaseColour(b);
    const Colours c = fadedOnHiddenLayer(b, line);
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        drawPolyline(b.points, b.sections, c.line, c.shadow, erase, *canvases[k]);
        drawBlockNumbers(b, erase, *canvases[k]);
    }
}

void drawBlockSegment(BlockRec& b, int s, int backBuffer) {
    const Colours c = fadedOnHiddenLayer(b, sectionColour(b, s));
    const DiagramPoint a = b.points[s];
    const DiagramPoint e = b.points[s + 1];
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        Canvas& canvas = *canvases[k];
        canvas.Pen.Style = vestrel::PenStyle::Solid;
        canvas.Pen.Mode = vestrel::PenMode::Copy;
        canvas.Pen.Color = c.shadow;
        canvas.MoveTo(nudge(a.x, 1), nudge(a.y, 1));
        canvas.LineTo(nudge(e.x, 1), nudge(e.y, 1));
        canvas.Pen.Color = c.line;
        canvas.MoveTo(a.x, a.y);
        canvas.LineTo(e.x, e.y);
        canvas.SetPixel(a.x, a.y, kBlackColour);
        if (s == 0 || s == b.sections - 1) drawElementNumber(midpoint(a, e), b.number, 0, canvas);
    }
}

void drawBlockSectionMarks(BlockRec& b, int erase, int backBuffer) {
    if (!gShowSections) return;
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        Canvas& canvas = *canvases[k];
        canvas.Pen.Style = vestrel::PenStyle::Solid;
        canvas.Pen.Mode = vestrel::PenMode::Copy;
        canvas.Pen.Color = erase ? kBackgroundColour : kShadowColour;
        canvas.Brush.Style = vestrel::BrushStyle::Clear;
        int previous = 255;
        for (int i = 0; i <= b.sections; ++i) {
            // Beyond the last section there is no kind (a 15-section block has no entry there): it counts as 0.
            const int kind = i < b.sections ? b.sectionKinds[i] : 0;
            if (erase || kind != previous)
                canvas.Ellipse(nudge(b.points[i].x, -2), nudge(b.points[i].y, -2), nudge(b.points[i].x, 4),
                               nudge(b.points[i].y, 4));
            previous = kind;
        }
    }
}
