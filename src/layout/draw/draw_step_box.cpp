// Drawing the box of a step program: its name and current step, coloured by its state.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/draw/element_draw.h"
#include "network/model/net_queue.h"
#include "platform/canvas.h"
#include "steps/model/step_program.h"

using vestrel::Canvas;

namespace {
struct BoxColours {
    uint32_t text;
    uint32_t fill;
};

BoxColours stepBoxColours(const StepProgramRec& p, int erase) {
    if (erase) return {kBackgroundColour, kBackgroundColour};
    if (p.state == 1) return {kBlackColour, kYellowColour};   // running
    if (p.state == 2) return {kBlackColour, kMagentaColour};  // waiting
    return {kWhiteColour, kShadowColour};
}

// The name cut from the end, one character at a time, until it fits the box (possibly to nothing).
std::string fittedName(const Canvas& canvas, std::string name, int width) {
    while (!name.empty() && canvas.TextWidth(name) > width) name.pop_back();
    return name;
}
}  // namespace

void drawStepBox(StepProgramRec& p, int erase, int backBuffer) {
    if (!repaintingAfterScroll()) netQueueRecord(30, 14, 44, 44, p.number, p.state);
    const BoxColours c = stepBoxColours(p, erase);
    Canvas* canvases[2];
    const int n = diagramCanvases(backBuffer, canvases);
    for (int k = 0; k < n; ++k) {
        Canvas& canvas = *canvases[k];
        canvas.Brush.Style = vestrel::BrushStyle::Solid;
        canvas.Brush.Color = c.fill;
        canvas.FillRect({p.box.left, p.box.top, p.box.right, p.box.bottom});
        canvas.Brush.Style = vestrel::BrushStyle::Clear;
        canvas.Font.Name = "MS Serif";
        canvas.Font.Size = 8;
        canvas.Font.Color = c.text;
        const int64_t width = int64_t{p.box.right} - p.box.left;  // a box from a damaged file may be any size
        canvas.TextOut(p.box.left, p.box.top, fittedName(canvas, p.name, static_cast<int>(std::clamp<int64_t>(width, -1, 1 << 20))));
        char step[24];
        std::snprintf(step, sizeof step, " step  %d", p.currentStep);
        canvas.TextOut(p.box.left, nudge(p.box.top, 12), step);
    }
}
