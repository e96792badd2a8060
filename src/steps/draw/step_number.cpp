#include "steps/draw/step_number.h"

#include <cstdio>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "platform/canvas.h"
#include "steps/model/step_program.h"

namespace {
constexpr int kNumberLeft = 24;  // past " step  " of the box's second line
constexpr int kLineHeight = 12;  // the box's second line
}  // namespace

void drawStepNumber(const StepProgramRec* p) {
    if (!p || (p->state != 1 && p->state != 2)) return;
    char text[8];
    std::snprintf(text, sizeof text, "%3d", p->currentStep);
    vestrel::Canvas* canvases[2];
    const int n = diagramCanvases(true, canvases);
    for (int k = 0; k < n; ++k) {
        vestrel::Canvas& c = *canvases[k];
        c.Brush.Style = vestrel::BrushStyle::Solid;
        c.Brush.Color = p->state == 1 ? kYellowColour : kMagentaColour;
        c.Font.Name = "Courier New";
        c.Font.Size = 8;
        c.Font.Color = kBlackColour;
        c.TextOut(nudge(p->box.left, kNumberLeft), nudge(p->box.top, kLineHeight), text);
    }
}
