#include "layout/editor/direction_arrow.h"

#include <algorithm>
#include <cmath>

#include "layout/draw/diagram_canvas.h"
#include "layout/editor/editor_state.h"
#include "layout/model/geometry.h"
#include "layout/frame/render.h"
#include "platform/canvas.h"

namespace {
constexpr int kStrokeLength = 30;
constexpr int kStrokeSpread = 30;  // degrees either side of the block's last section
}  // namespace

void drawHeenArrow() {
    redrawSchema(0);
    const BlockRec* b = gSelectedBlock;
    if (!b || !gDiagramCanvas) return;
    const int last = std::clamp(b->sections, 1, kMaxSections);
    const DiagramPoint end = b->points[last];
    const int base = b->sectionAngles[last - 1];
    vestrel::Canvas& canvas = *gDiagramCanvas;
    canvas.Pen.Color = vestrel::rgb(255, 0, 0);
    canvas.Pen.Style = vestrel::PenStyle::Solid;
    canvas.Pen.Mode = vestrel::PenMode::Copy;
    canvas.Pen.Width = 3;
    // Each stroke comes from 30 units back along its own direction and ends at the block's end.
    for (int spread : {kStrokeSpread, -kStrokeSpread}) {
        const double f = normalizeAngle(base + spread) * kPi / 180;
        canvas.MoveTo(end.x - roundHalfAway(kStrokeLength * std::cos(f)),
                      end.y - roundHalfAway(kStrokeLength * std::sin(f)));
        canvas.LineTo(end.x, end.y);
    }
    canvas.Pen.Width = 1;
}
