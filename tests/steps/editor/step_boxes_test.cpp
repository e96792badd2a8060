// The step-program boxes on the diagram: hit by the pointer, shifted and turned with the layout, moved by
// the editor.
#include <gtest/gtest.h>

#include <memory>

#include "layout/draw/diagram_area.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/layout_move.h"
#include "layout/editor/point_entry.h"
#include "operation/control/element_picks.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "steps/editor/step_boxes.h"
#include "steps/model/step_program.h"

namespace {

StepProgramRec* addBox(const char* name, StepBoxRect box) {
    auto p = std::make_unique<StepProgramRec>();
    p->name = name;
    p->box = box;
    return gStepPrograms.append(std::move(p));
}

TEST(StepBoxes, AreHitInsideTheirBoxEdgesIncluded) {
    gStepPrograms.clear();
    addBox("program 1", {100, 50, 160, 76});
    addBox("program 2", {100, 50, 160, 76});
    const struct {
        DiagramPoint p;
        int skip;
        int code, index;
    } cases[] = {{{100, 50}, -1, 408, 0}, {{160, 76}, -1, 408, 0}, {{161, 76}, -1, 0, -1},
                 {{130, 49}, -1, 0, -1},  {{130, 60}, 0, 408, 1}};
    for (const auto& c : cases) {
        gMousePoint = c.p;
        PickHit hit;
        EXPECT_EQ(pickStepBoxAt(c.skip, hit), c.code) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.index, c.index) << c.p.x << "," << c.p.y;
    }
    gStepPrograms.clear();
}

TEST(StepBoxes, GoWithTheLayoutButStayWhileItIsDragged) {
    gStepPrograms.clear();
    StepProgramRec* p = addBox("program 1", {100, 50, 160, 76});
    moveLayout(-20, 8);
    EXPECT_EQ(p->box.left, 80);
    EXPECT_EQ(p->box.bottom, 84);
    gMovingLayout = true;
    moveLayout(5, 5);
    gMovingLayout = false;
    EXPECT_EQ(p->box.left, 80);
    rotateStepBoxes(90, 0, 400);  // (80, 58) turned a quarter: (58, -80), then shifted down by 400
    EXPECT_EQ(p->box.left, 58);
    EXPECT_EQ(p->box.top, 320);
    gStepPrograms.clear();
}

TEST(StepBoxes, AMovedBoxKeepsItsProgramAndComesBackWhenCancelled) {
    gStepPrograms.clear();
    gCanvasSize = {800, 480};
    StepProgramRec* p = addBox("pendel", {100, 50, 160, 76});
    p->stepCount = 3;
    p->state = 1;
    moveStepBox(0);
    EXPECT_EQ(gMousePoint, (DiagramPoint{100, 50}));  // the pointer on its anchor
    gMousePoint = {200, 150};
    gMouseButton = 0;
    gPendingKey = 0;
    moveStepBox(0);
    gPendingKey = 27;
    EXPECT_EQ(moveStepBox(0), -1);
    EXPECT_EQ(p->box.left, 100);
    EXPECT_EQ(p->box.right, 160);
    EXPECT_EQ(p->state, 1);
    moveStepBox(0);
    gPendingKey = 0;
    gMousePoint = {200, 150};
    moveStepBox(0);
    gPendingKey = 13;
    EXPECT_EQ(moveStepBox(0), -1);
    gPendingKey = 0;
    EXPECT_EQ(p->box.left, 200);
    EXPECT_EQ(p->box.top, 150);
    EXPECT_EQ(p->name, "pendel");
    EXPECT_EQ(p->stepCount, 3);
    EXPECT_EQ(p->state, 0);  // placed again, it starts from the beginning
    EXPECT_FALSE(gMovingStepBox);
    gStepPrograms.clear();
}

}  // namespace
