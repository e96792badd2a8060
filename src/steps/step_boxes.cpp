#include "steps/step_boxes.h"

#include "layout/element_draw.h"
#include "layout/geometry.h"
#include "layout/scale.h"
#include "steps/step_program.h"

void offsetStepBoxes(int32_t dx, int32_t dy) {
    for (StepProgramRec* p : gStepPrograms) {
        p->box.left += dx;
        p->box.right += dx;
        p->box.top += dy;
        p->box.bottom += dy;
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
