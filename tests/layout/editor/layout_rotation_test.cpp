// Quarter turns of the whole layout.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/draw/diagram_area.h"
#include "layout/editor/layout_move.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "shell/model/app_state.h"
#include "layout/small_layout.h"

namespace {

class LayoutRotation : public ::testing::Test {
protected:
    void SetUp() override {
        setScaleParameters('3', '5', 0);
        smalllayout::buildEveryKind();
        gRunWithoutTrack = 1;  // a session runs: the settings dialog turns the coordinates at once
    }
};

TEST_F(LayoutRotation, NinetyThenBackRestoresEveryElement) {
    const auto before = smalllayout::snapshot();
    const float bridge = gTurntables[0]->bridgeAngle;
    ASSERT_EQ(rotateLayout(1, 0), 1);
    EXPECT_NE(smalllayout::snapshot(), before);
    EXPECT_EQ(gOrientation, 1);
    EXPECT_EQ(gCoordOrientation, 1);
    ASSERT_EQ(rotateLayout(0, 0), 1);
    EXPECT_EQ(smalllayout::snapshot(), before);
    EXPECT_NEAR(gTurntables[0]->bridgeAngle, bridge, 1e-5);
    EXPECT_EQ(gOrientation, 0);
}

TEST_F(LayoutRotation, EveryQuarterKeepsTheTopLeftCorner) {
    const DrawRect start = layoutBounds();
    for (int orientation : {1, 2, 3, 0}) {
        SCOPED_TRACE(orientation);
        ASSERT_EQ(rotateLayout(orientation, 1), 1);
        const DrawRect b = layoutBounds();
        EXPECT_EQ(b.left, start.left);
        EXPECT_EQ(b.top, start.top);
        const bool sideways = orientation % 2 == 1;
        EXPECT_EQ(b.right - b.left, sideways ? start.bottom - start.top : start.right - start.left);
    }
}

TEST_F(LayoutRotation, AnglesFollowTheTurnedPoints) {
    ASSERT_EQ(rotateLayout(1, 0), 1);
    // A segment's stored direction is still the direction from its start to its end point.
    for (const TrackRec* t : gTracks)
        for (int s = 0; s < t->segments; ++s)
            EXPECT_EQ(t->segmentAngles[s], smalllayout::segmentAngle(t->points[s], t->points[s + 1]));
    for (const BlockRec* b : gBlocks)
        for (int s = 0; s < b->sections; ++s) {
            EXPECT_EQ(b->sectionAngles[s], smalllayout::segmentAngle(b->points[s], b->points[s + 1]));
            const double dx = b->points[s + 1].x - b->points[s].x;
            const double dy = b->points[s + 1].y - b->points[s].y;
            const double len = std::hypot(dx, dy);
            EXPECT_NEAR(b->sectionDirections[s][0], dx / len, 1e-6);
            EXPECT_NEAR(b->sectionDirections[s][1], dy / len, 1e-6);
        }
    // Element angles count the other way: a turnout at 0 now points up the screen, angle 90.
    EXPECT_EQ(gTurnouts[0]->angle, 90);
    EXPECT_EQ(gTurnouts[0]->legs[1].x, gTurnouts[0]->legs[0].x);
    EXPECT_LT(gTurnouts[0]->legs[1].y, gTurnouts[0]->legs[0].y);
    // A plain turnout's unused leg is not a point to turn.
    EXPECT_EQ(gTurnouts[0]->legs[3], (DiagramPoint{0, 0}));
    // The turntable ring is laid out again around the turned centre.
    const TurntableRec& t = *gTurntables[0];
    const TrackRec& bridge = *t.track;
    EXPECT_FLOAT_EQ(t.centre[0], (bridge.points[0].x + bridge.points[1].x) / 2.0f);
    EXPECT_FLOAT_EQ(t.centre[1], (bridge.points[0].y + bridge.points[1].y) / 2.0f);
    EXPECT_EQ(t.outerEnds[0][0], 0);
    EXPECT_EQ(t.outerEnds[0][1], 40);
}

TEST_F(LayoutRotation, TurnAfterASaveUsesTheCoordinatesOrientation) {
    // Reference: the same layout turned straight to 180 degrees.
    ASSERT_EQ(rotateLayout(2, 1), 1);
    const auto expected = smalllayout::snapshot();
    ASSERT_EQ(rotateLayout(0, 2), 1);
    ASSERT_EQ(rotateLayout(1, 1), 1);  // the session shows orientation 1
    // A save writes the coordinates at 0 and keeps the chosen orientation.
    ASSERT_EQ(rotateLayout(0, 2), 1);
    EXPECT_EQ(gOrientation, 1);
    EXPECT_EQ(gCoordOrientation, 0);
    // The user then picks 180 degrees in the settings: the coordinates turn by 180, not by 90.
    ASSERT_EQ(rotateLayout(2, 0), 1);
    EXPECT_EQ(smalllayout::snapshot(), expected);
    EXPECT_EQ(gOrientation, 2);
    EXPECT_EQ(gCoordOrientation, 2);
}

TEST_F(LayoutRotation, ChoosingTheOrientationTheCoordinatesAreInIsKept) {
    ASSERT_EQ(rotateLayout(1, 1), 1);
    ASSERT_EQ(rotateLayout(0, 2), 1);  // a save: coordinates at 0, the choice still 1
    const auto before = smalllayout::snapshot();
    EXPECT_EQ(rotateLayout(0, 0), 0);  // the user picks 0: nothing to turn
    EXPECT_EQ(gOrientation, 0);
    EXPECT_EQ(rotateLayout(gOrientation, 1), 0);  // the next session start leaves it at 0
    EXPECT_EQ(smalllayout::snapshot(), before);
}

TEST_F(LayoutRotation, OutsideASessionOnlyTheSettingChanges) {
    gRunWithoutTrack = 0;
    const auto before = smalllayout::snapshot();
    EXPECT_EQ(rotateLayout(3, 0), 0);
    EXPECT_EQ(gOrientation, 3);
    EXPECT_EQ(gCoordOrientation, 0);
    EXPECT_EQ(smalllayout::snapshot(), before);
    // Session start turns the coordinates to the chosen orientation.
    EXPECT_EQ(rotateLayout(gOrientation, 1), 1);
    EXPECT_EQ(gCoordOrientation, 3);
    EXPECT_EQ(rotateLayout(3, 1), 0);  // already in force
}

TEST_F(LayoutRotation, ResetsTheOffsetAndTellsTheClients) {
    gLayoutOffset = {4, 6};
    gNetLinkState = 30;
    ASSERT_EQ(rotateLayout(2, 0), 1);
    EXPECT_EQ(gSavedLayoutOffset.x, 4);
    EXPECT_EQ(gSavedLayoutOffset.y, 6);
    EXPECT_EQ(gLayoutOffset.x, 0);
    EXPECT_EQ(gPeerTurnAngle, 0);
    const uint8_t record[8] = {23, 23, 0, 0, 0, 0, 2, 0};
    ASSERT_EQ(gNetOutFill, 8);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + 8), std::vector<uint8_t>(record, record + 8));
}

TEST_F(LayoutRotation, ServerOrientationIsTakenOverInMode3) {
    ASSERT_EQ(rotateLayout(1, 1), 1);
    const auto expected = smalllayout::snapshot();
    ASSERT_EQ(rotateLayout(0, 1), 1);
    // A full copy from a server at orientation 0 replaced the coordinates; the own record is stale.
    gServerOrientation = 0;
    gCoordOrientation = 3;
    gOrientation = 3;
    ASSERT_EQ(rotateLayout(1, 3), 1);
    EXPECT_EQ(smalllayout::snapshot(), expected);
    EXPECT_EQ(gOrientation, 1);
    EXPECT_EQ(gCoordOrientation, 1);
}

TEST(RotationOffsets, FiguresFromTheBounds) {
    setScaleParameters('3', '5', 0);
    smalllayout::addTrack({{100, 50}, {300, 150}});
    struct Case {
        int orientation, angle, dx, dy;
    };
    // minX 100, minY 50, maxX 300, maxY 150, no offset
    const Case cases[] = {{1, 90, 50, 350}, {2, 180, 400, 200}, {3, -90, 250, -50}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        const QuarterTurn t = rotationOffsets(c.orientation);
        EXPECT_EQ(t.angle, c.angle);
        EXPECT_EQ(t.dx, c.dx);
        EXPECT_EQ(t.dy, c.dy);
    }
}

}  // namespace
