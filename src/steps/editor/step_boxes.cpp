#include "steps/editor/step_boxes.h"

#include "layout/draw/element_draw.h"
#include "layout/model/geometry.h"
#include "layout/model/scale.h"
#include "platform/canvas.h"
#include "shell/window/schema_canvas.h"
#include "steps/model/step_program.h"

void offsetStepBoxes(int32_t dx, int32_t dy) {
    for (StepProgramRec* p : gStepPrograms) {
        p->box.left = wrappingAdd(p->box.left, dx);  // as the layout's points, modulo 2^32
        p->box.right = wrappingAdd(p->box.right, dx);
        p->box.top = wrappingAdd(p->box.top, dy);
        p->box.bottom = wrappingAdd(p->box.bottom, dy);
    }
}

void rotateStepBoxes(int angle, int32_t dx, int32_t dy) {
    const QuarterTurn turn{angle, dx, dy};
    for (StepProgramRec* p : gStepPrograms) {
        DiagramPoint anchor{p->box.left, p->box.top};
        rotatePoints(&anchor, 0, turn);
        layoutStepBox(*p, anchor);
    }
}

void drawStepBoxes(int backBuffer) {
    for (StepProgramRec* p : gStepPrograms) drawStepBox(*p, 0, backBuffer);
}

void layoutStepBox(StepProgramRec& box, DiagramPoint anchor) {
    const vestrel::Canvas* canvas = mainWindowCanvas();
    const int width = canvas ? canvas->TextWidth("program XX") : 0;
    box.box = {anchor.x, anchor.y, wrappingAdd(anchor.x, width), wrappingAdd(anchor.y, 2 * 12 + 2)};
}
