// Drawing a turntable: the ring of track ends with their numbers, and the bridge.
#include <string>

#include "layout/draw/diagram_canvas.h"
#include "layout/model/display_settings.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "layout/model/geometry.h"
#include "platform/canvas.h"

using vestrel::Canvas;

namespace {

// The centre truncated to whole pixels; a centre from a damaged file (not a number, or beyond any
// diagram) is held where the offsets added to it cannot overflow.
int centreCoordinate(float v) {
    constexpr float kLimit = 1 << 30;
    if (!(v > -kLimit)) return v != v ? 0 : -(1 << 30);
    if (v > kLimit) return 1 << 30;
    return static_cast<int>(v);
}
void drawRing(const TurntableRec& t, uint32_t colour, Canvas& canvas) {
    canvas.Brush.Style = vestrel::BrushStyle::Clear;
    canvas.Font.Name = "MS Serif";
    canvas.Font.Size = 7;
    canvas.Font.Color = colour;
    canvas.Pen.Style = vestrel::PenStyle::Solid;
    canvas.Pen.Mode = vestrel::PenMode::Copy;
    canvas.Pen.Color = colour;
    const int positions = t.positions < kTurntablePositions ? t.positions : kTurntablePositions;
    const int arc = positions ? truncatedInt(t.radius * kPi / positions) : 0;
    const int cx = centreCoordinate(t.centre[0]);
    const int cy = centreCoordinate(t.centre[1]);
    for (int p = 0; p < positions; ++p) {
        const int dx = t.outerEnds[p][0];
        const int dy = t.outerEnds[p][1];
        const int number = t.positionOfConnection[p];
        for (const DiagramPoint end : {DiagramPoint{cx + dx, cy + dy}, DiagramPoint{cx - dx, cy - dy}}) {
            canvas.SetPixel(end.x, end.y, colour);
            if (number) canvas.Rectangle(end.x - 1, end.y - 1, end.x + 2, end.y + 2);
        }
        if (gShowNumbers && number && arc > 7) {
            const int lx = t.innerEnds[p][0];
            const int ly = t.innerEnds[p][1];
            const int w = number > 9 ? 4 : 2;
            canvas.TextOut(cx + lx - w, cy + ly - 5, std::to_string(number));
            canvas.TextOut(cx - lx - w, cy - ly - 5, std::to_string(number));
        }
    }
}

// Drawn with the not-XOR pen, so that drawing it twice restores the picture: that is how the bridge moves.
void drawBridge(const TrackRec& bridge, Canvas& canvas) {
    canvas.Pen.Style = vestrel::PenStyle::Solid;
    canvas.Pen.Mode = vestrel::PenMode::NotXor;
    canvas.Pen.Color = kBlackColour;
    canvas.MoveTo(bridge.points[0].x, bridge.points[0].y);
    canvas.LineTo(bridge.points[1].x, bridge.points[1].y);
    canvas.Pen.Color = kRedColour;
    canvas.Brush.Style = vestrel::BrushStyle::Clear;
    const DiagramPoint c = bridge.points[0];
    canvas.Ellipse(nudge(c.x, -3), nudge(c.y, -3), nudge(c.x, 4), nudge(c.y, 4));
    canvas.Pen.Mode = vestrel::PenMode::Copy;
}
}  // namespace

void drawTurntable(TurntableRec& t, int mode, int backBuffer) {
    t.runState &= ~1;
    const uint32_t colour = mode == 1 ? kBackgroundColour : kBlackColour;
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        if (mode != 2) drawRing(t, colour, *canvases[k]);
        if (t.track) drawBridge(*t.track, *canvases[k]);
    }
}
