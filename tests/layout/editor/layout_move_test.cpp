// Shifting the whole layout and its bounding box.
#include <gtest/gtest.h>

#include "layout/editor/layout_move.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "layout/small_layout.h"

namespace {

TEST(MoveLayout, ShiftsEveryElementKind) {
    smalllayout::buildEveryKind();
    const TurntableRec before = *gTurntables[0];
    const DiagramPoint signal = gSignals[0]->outline[2];
    const DiagramPoint turnoutLeg = gTurnouts[2]->legs[3];
    moveLayout(7, -5);
    EXPECT_EQ(gTracks[0]->points[2], (DiagramPoint{147, 95}));
    EXPECT_EQ(gBlocks[0]->points[3], (DiagramPoint{227, 235}));
    EXPECT_EQ(gTurnouts[0]->centre, (DiagramPoint{223, 95}));
    EXPECT_EQ(gTurnouts[2]->legs[3], (DiagramPoint{turnoutLeg.x + 7, turnoutLeg.y - 5}));  // a double slip's
    EXPECT_EQ(gSignals[0]->outline[2], (DiagramPoint{signal.x + 7, signal.y - 5}));
    EXPECT_EQ(gOutputs[0]->outline[0], (DiagramPoint{127, 295}));
    EXPECT_EQ(gInputs[0]->secondPoint, (DiagramPoint{167, 315}));
    EXPECT_FLOAT_EQ(gTurntables[0]->centre[0], before.centre[0] + 7);
    EXPECT_FLOAT_EQ(gTurntables[0]->centre[1], before.centre[1] - 5);
}

TEST(MoveLayout, PlainTurnoutsKeepTheirUnusedLeg) {
    smalllayout::addTurnout('l', {200, 100}, 0, 11);
    smalllayout::addTurnout('r', {200, 150}, 45, 12);
    moveLayout(7, -5);
    EXPECT_EQ(gTurnouts[0]->legs[3], (DiagramPoint{0, 0}));
    EXPECT_EQ(gTurnouts[1]->legs[3], (DiagramPoint{0, 0}));
    EXPECT_EQ(gTurnouts[0]->legs[2], (DiagramPoint{237, 87}));
}

TEST(MoveLayout, BroadcastsTheOffsetToListeningClients) {
    smalllayout::addTrack({{10, 10}, {20, 10}});
    gNetLinkState = 30;
    moveLayout(0, 0);  // no move, nothing queued
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_EQ(gTracks[0]->points[0], (DiagramPoint{10, 10}));
    gLayoutOffset = {0x01020304, -2};
    moveLayout(1, 1);
    const std::vector<uint8_t> expected = {22, 22, 0, 0, 0, 0, 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + gNetOutFill), expected);
}

TEST(MoveLayout, StandAloneQueuesNothing) {
    smalllayout::addTrack({{10, 10}, {20, 10}});
    gNetLinkState = 0;
    moveLayout(3, 3);
    EXPECT_EQ(gNetOutFill, 0);
}

TEST(LayoutBounds, CoversElementsButNotTurntablesAndSetsTheDrawArea) {
    gCanvasSize = {640, 480};
    smalllayout::addTrack({{100, 50}, {300, 150}});
    smalllayout::addTurnout('l', {320, 200}, 0, 1);   // legs up to x 352; leg 3 (0,0) not counted
    smalllayout::addTurntable({500, 400}, {600, 400}, 12);
    const DrawRect b = layoutBounds();
    EXPECT_EQ(b, (DrawRect{100, 50, 600, 400}));  // the bridge track counts, the pit (y 360..440) not
    EXPECT_EQ(gDrawArea, b);
}

TEST(LayoutBounds, EmptyLayoutGivesTheStartingBox) {
    gCanvasSize = {800, 600};
    EXPECT_EQ(layoutBounds(), (DrawRect{800, 600, 0, 0}));
}

}  // namespace
