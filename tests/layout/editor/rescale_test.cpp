// Rescaling every coordinate when zoom, scale or turnout size mode change.
#include <gtest/gtest.h>

#include "layout/draw/diagram_area.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/layout_move.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "platform/canvas.h"
#include "shell/config/messages.h"
#include "layout/small_layout.h"

namespace {

TEST(ScalePoints, RoundsByAddingHalfAndKeepsUnusedPoints) {
    DiagramPoint pts[3] = {{-23, 10}, {0, 55}, {27, -27}};
    scalePoints(pts, 2, 0.1f);
    EXPECT_EQ(pts[0], (DiagramPoint{-1, 1}));  // -2.3 gives -1, 1.0 gives 1
    EXPECT_EQ(pts[1], (DiagramPoint{0, 55}));  // x = 0: an unused point
    EXPECT_EQ(pts[2], (DiagramPoint{3, -2}));  // 2.7 gives 3, -2.7 gives -2
}

TEST(ScaleAllElements, FactorOneChangesNothing) {
    setScaleParameters('3', '5', 0);
    smalllayout::buildEveryKind();
    const auto before = smalllayout::snapshot();
    scaleAllElements(1);
    EXPECT_EQ(smalllayout::snapshot(), before);
}

TEST(RescaleLayout, ZoomScalesEveryElementAndRelaysOutlines) {
    setScaleParameters('3', '5', 0);
    smalllayout::buildEveryKind();
    moveLayout(5, -3);  // the view is shifted: it goes back first
    gLayoutOffset = {5, -3};
    ASSERT_EQ(rescaleLayout('7', '5', 0, false), 1);  // factor 8 / 4
    EXPECT_EQ(gZoomDigit, '7');
    EXPECT_EQ(gLayoutOffset.x, 0);
    EXPECT_EQ(gTracks[0]->points[2], (DiagramPoint{280, 200}));
    EXPECT_EQ(gBlocks[0]->points[0], (DiagramPoint{80, 400}));
    EXPECT_EQ(gTurnouts[0]->legs[3], (DiagramPoint{0, 0}));  // unused leg stays
    // Point elements keep their own shape around the scaled anchor.
    const SignalRec& s = *gSignals[0];
    EXPECT_EQ(s.outline[0], (DiagramPoint{444, 472}));
    EXPECT_EQ(s.outline[3], (DiagramPoint{456, 472}));
    EXPECT_EQ(gInputs[0]->secondPoint.x - gInputs[0]->anchor.x, 10);
    // The turntable follows its scaled bridge: radius 40 becomes 80.
    EXPECT_FLOAT_EQ(gTurntables[0]->radius, 80);
    EXPECT_EQ(gTurntables[0]->positions, 12);
}

TEST(RescaleLayout, ScaleRatioKeepsRealLengths) {
    setScaleParameters('3', '5', 0);
    smalllayout::addTrack({{100, 100}, {200, 100}});
    const double cmBefore = 100 * gCmPerUnit;
    ASSERT_EQ(rescaleLayout('3', '3', 0, true), 1);  // 1:87 to 1:45
    const auto& p = gTracks[0]->points;
    EXPECT_EQ(p[0], (DiagramPoint{52, 52}));  // 100 x 45 / 87 = 51.7
    EXPECT_EQ(p[1], (DiagramPoint{103, 52}));  // 200 x 45 / 87 = 103.4
    EXPECT_NEAR((p[1].x - p[0].x) * gCmPerUnit, cmBefore, gCmPerUnit);
}

TEST(RescaleLayout, RefusesWhenATurntableNoLongerFits) {
    setScaleParameters('3', '5', 0);
    smalllayout::buildEveryKind();
    gTurntables[0]->positions = 24;  // radius 40 at tolerance 4 holds exactly 24
    smalllayout::addTurntable({100, 400}, {180, 400}, 24, 2);
    ASSERT_EQ(gTurntables[0]->positions, 24);
    const auto before = smalllayout::snapshot();
    EXPECT_EQ(rescaleLayout('1', '5', 0, false), 0);  // radius 20 holds only 20
    EXPECT_EQ(lastDialogMessage(),
              "Het maximaal aantal aansluitingen van draaischijf 1 is 20 bij deze draaischijfafmeting en zoomfactor");
    EXPECT_EQ(gZoomDigit, '3');
    EXPECT_EQ(gSnapTolerance, 4);
    EXPECT_EQ(smalllayout::snapshot(), before);
}

TEST(ResetDrawingArea, LaysOutTheAreaAndMovesTheLayoutBack) {
    gCanvasSize = {800, 600};
    smalllayout::addTrack({{110, 120}, {210, 120}});
    gLayoutOffset = {10, 20};
    gNetLinkState = 30;  // a client listens: the move is broadcast
    EXPECT_EQ(resetDrawingArea(), 1);
    EXPECT_EQ(gDrawArea, (DrawRect{0, 0, 800, 512}));
    EXPECT_EQ(gCanvasCentre, (DiagramPoint{400, 300}));
    EXPECT_EQ(gSavedLayoutOffset.x, 10);
    EXPECT_EQ(gSavedLayoutOffset.y, 20);
    EXPECT_EQ(gLayoutOffset.x, 0);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{100, 100}));
    ASSERT_NE(gBackBuffer, nullptr);  // made again at the canvas size
    EXPECT_EQ(gBackBuffer->width(), 800);
    EXPECT_EQ(gBackBuffer->height(), 600);
    // kind 22, code 22, 0, 0, then the (already reset) offset as two int32
    ASSERT_EQ(gNetOutFill, 14);
    EXPECT_EQ(gNetOutBuffer[0], 22);
    EXPECT_EQ(gNetOutBuffer[1], 22);
}

}  // namespace
