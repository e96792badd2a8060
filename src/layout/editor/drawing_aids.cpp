#include "layout/editor/drawing_aids.h"

#include <cmath>
#include <cstdlib>

#include "layout/draw/diagram_canvas.h"
#include "layout/editor/editor_state.h"
#include "layout/model/geometry.h"
#include "layout/draw/element_colours.h"
#include "platform/canvas.h"

using vestrel::Canvas;
using vestrel::PenMode;
using vestrel::PenStyle;

namespace {

constexpr uint32_t kCrosshairColour = 0x800080;

void notXorLine(Canvas& c, int x1, int y1, int x2, int y2, uint32_t colour) {
    c.Pen = {colour, 1, PenStyle::Solid, PenMode::NotXor};
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
    c.Pen.Mode = PenMode::Copy;
}

// A dotted white pen over a silver brush: the dots (white, not-XOR) leave the diagram as it is and the
// gaps between them take the brush colour, not-XOR. The dot pattern starts afresh at every line, so
// that the same line drawn twice covers the same pixels. The end pixel is left out.
void dottedNotXorLine(Canvas& c, int x0, int y0, int x1, int y1) {
    const vestrel::TPen pen = c.Pen;
    const vestrel::TBrush brush = c.Brush;
    c.Pen = {kWhiteColour, 1, PenStyle::Dot, PenMode::NotXor};
    c.Brush = {kBackgroundColour, vestrel::BrushStyle::Solid};
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
    c.Pen = pen;
    c.Brush = brush;
}

void notXorCircle(Canvas& c, DiagramPoint a, DiagramPoint b) {
    const int cx = truncatedInt((static_cast<double>(a.x) + b.x) / 2);
    const int cy = truncatedInt((static_cast<double>(a.y) + b.y) / 2);
    const double length = std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
    const int r = truncatedInt(length * 0.5 + 0.5);
    c.Pen = {kWhiteColour, 1, PenStyle::Dot, PenMode::NotXor};
    c.Brush = {kBackgroundColour, vestrel::BrushStyle::Solid};
    c.Ellipse(cx - r, cy - r, cx + r, cy + r);
    c.Pen.Mode = PenMode::Copy;
}

}  // namespace

void drawCrosshair(int x, int y) {
    if (!gDiagramCanvas) return;
    notXorLine(*gDiagramCanvas, 0, y, gCanvasSize.width, y, kCrosshairColour);
    notXorLine(*gDiagramCanvas, x, 0, x, gCanvasSize.height - 88, kCrosshairColour);
}

void drawRubberSegment(DiagramPoint a, DiagramPoint b) {
    if (!gDiagramCanvas) return;
    dottedNotXorLine(*gDiagramCanvas, a.x, a.y, b.x, b.y);
    if (gTurntableMode) notXorCircle(*gDiagramCanvas, a, b);
}

void drawXorLine(int x1, int y1, int x2, int y2, uint32_t colour) {
    if (gDiagramCanvas) notXorLine(*gDiagramCanvas, x1, y1, x2, y2, colour);
}
