// The placement loop of point elements: following the pointer, turning, committing and cancelling.
#include <gtest/gtest.h>

#include "layout/draw/diagram_canvas.h"
#include "layout/editor/drawing_aids.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_colours.h"
#include "layout/model/geometry.h"
#include "layout/editor/placement_loop.h"
#include "layout/editor/pointer_range.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"

namespace {

TEST(TurningSteps, FifteenDegreesOrOneWithShift) {
    struct Case {
        int angle, step;
        bool fine;
        int result;
    } cases[] = {{7, 1, false, 15},   {7, 1, true, 8},     {-179, -1, false, 180}, {180, 1, false, -165},
                 {0, -1, false, -15}, {-10, -1, false, -15}, {180, 1, true, -179},  {-179, -1, true, 180}};
    for (const Case& c : cases) EXPECT_EQ(turnedAngle(c.angle, c.step, c.fine), c.result) << c.angle << " " << c.step;
}

int gCommits = 0;
int gCommitAnswer = 1;
uint32_t gCommitMode = 0;

class PlacementLoop : public ::testing::Test {
protected:
    void SetUp() override {
        gCanvasSize = {640, 480};
        gDrawArea = {0, 0, 640, 392};
        gDiagramCanvas = &canvas;
        gBackBuffer = &back;
        gCommits = 0;
        gCommitAnswer = 1;
        gCommitMode = 0;
        start({200, 200});
    }
    // As an insertion starts it: the crosshair at the pointer, the element laid out there.
    void start(DiagramPoint p) {
        canvas.image().fill(0xFFC0C0C0);
        gMousePoint = gLastPointer = p;
        drawCrosshair(p.x, p.y);
        layoutSignal(signal, p);
        gEditMode = kEditRestart;
    }
    void TearDown() override {
        gDiagramCanvas = nullptr;
        gBackBuffer = nullptr;
    }
    int step(int key = 0, int button = 0, int shift = 0) {
        gPendingKey = static_cast<uint8_t>(key);
        gMouseButton = button;
        gShiftState = shift;
        return placeElementLoop(
            &signal, signal.outline, 4, signal.angle,
            [](void* e) {
                auto* s = static_cast<SignalRec*>(e);
                gDiagramCanvas->Pen = {kRedColour};
                gDiagramCanvas->MoveTo(s->outline[0].x, s->outline[0].y);
                gDiagramCanvas->LineTo(s->outline[3].x, s->outline[3].y);
            },
            [](void*) {
                ++gCommits;
                if (gCommitMode) gEditMode = gCommitMode;
                return gCommitAnswer;
            });
    }
    bool showsOnlyTheBackground() const { return canvas.image() == back.image(); }
    SignalRec signal;
    vestrel::Canvas canvas{640, 480, kBackgroundColour};
    vestrel::Canvas back{640, 480, kBackgroundColour};
};

TEST_F(PlacementLoop, LaysOutAndLimitsThePointerToTheDrawingArea) {
    EXPECT_EQ(step(), 1);
    // Signal outline (200,200) .. (212,205) at angle 0: the pointer may not take it off the drawing area.
    EXPECT_EQ(gDrawArea, (DrawRect{0, 4, 640 - 12, 392 - 5}));
    EXPECT_EQ(placedElementArea(), (DrawRect{192, 188, 223, 214}));
    EXPECT_EQ(canvas.Pixel(205, 200), kRedColour);   // the element
    EXPECT_NE(canvas.Pixel(50, 200), kBackgroundColour);  // the crosshair
    gMousePoint = {300, 300};
    EXPECT_EQ(step(27), 6);
    EXPECT_TRUE(showsOnlyTheBackground());
}

TEST_F(PlacementLoop, FollowsThePointerWithItsPoints) {
    step();
    gMousePoint = {230, 210};
    EXPECT_EQ(step(), 1);
    EXPECT_EQ(signal.outline[0], (DiagramPoint{230, 210}));
    EXPECT_EQ(signal.outline[3], (DiagramPoint{242, 210}));
    EXPECT_EQ(placedElementArea(), (DrawRect{222, 198, 253, 224}));
    EXPECT_EQ(canvas.Pixel(205, 200), kBackgroundColour);  // restored where it stood
    EXPECT_EQ(gLastPointer, (DiagramPoint{230, 210}));
}

TEST_F(PlacementLoop, TurningKeysAndTheMiddleButton) {
    step();
    EXPECT_EQ(step('t'), 4);
    EXPECT_EQ(signal.angle, 15);
    EXPECT_EQ(step(), 1);  // laid out again
    EXPECT_EQ(step('w', 0, 1), 4);
    EXPECT_EQ(signal.angle, 14);
    step();
    EXPECT_EQ(step(0, 3), 4);
    EXPECT_EQ(signal.angle, 15);
    step();
    EXPECT_EQ(step(' '), 1);  // the space bar does nothing here
    EXPECT_EQ(signal.angle, 15);
}

TEST_F(PlacementLoop, CommitRefusedAcceptedOrAskingForANewElement) {
    step();
    gCommitAnswer = 0;
    EXPECT_EQ(step(0, 1), 2);
    gCommitAnswer = 1;
    EXPECT_EQ(step(13), 3);
    gCommitMode = kEditNew;
    EXPECT_EQ(step(0, 1), 5);
    EXPECT_EQ(gCommits, 3);
}

TEST_F(PlacementLoop, CancelsAndErasesItsAids) {
    struct Case {
        int key, button, shift;
        DiagramPoint pointer;
    } cases[] = {{0, 2, 0, {200, 200}},  // right button
                 {27, 0, 0, {200, 200}}, // Esc
                 {0, 0, 16, {200, 200}}, // the finish request
                 {0, 1, 0, {200, 2}}};   // a left click where the signal's box would leave the drawing area
    for (const Case& c : cases) {
        start(c.pointer);
        step();
        EXPECT_EQ(step(c.key, c.button, c.shift), 6) << c.key << " " << c.button;
        EXPECT_TRUE(showsOnlyTheBackground());
        EXPECT_EQ(gCommits, 0);
    }
}

}  // namespace
