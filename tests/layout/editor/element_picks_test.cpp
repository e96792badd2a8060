// Picking the element under the mouse point: on its line in the editor, near its anchor in a session.
#include <gtest/gtest.h>

#include "layout/layout_builder.h"
#include "operation/control/element_picks.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"

namespace {

class ElementPicks : public ::testing::Test {
protected:
    void SetUp() override {
        gSnapTolerance = 4;
        LayoutBuilder()
            .turnout('l', 1, {{100, 100}, {140, 100}, {134, 90}})
            .track({{100, 300}, {200, 300}, {200, 400}})
            .turntable(1, {300, 200}, {380, 200}, 4);
    }
    void TearDown() override { gRunWithoutTrack = 0; }
    static int at(DiagramPoint p, int (*pick)(PickHit&), PickHit& hit) {
        gMousePoint = p;
        return pick(hit);
    }
    static int turnoutAt(DiagramPoint p, int skip = -1) {
        PickHit hit;
        gMousePoint = p;
        return pickTurnoutAt(skip, hit);
    }
};

TEST_F(ElementPicks, EditorLinesWithinThreeUnits) {
    EXPECT_EQ(turnoutAt({120, 103}), 403);
    EXPECT_EQ(turnoutAt({120, 104}), 0);
    EXPECT_EQ(turnoutAt({120, 100}, 0), 0);  // the turnout being moved is passed over
    PickHit hit;
    EXPECT_EQ(at({190, 302}, pickTrackAt, hit), 401);
    EXPECT_EQ(hit.segment, 0);
    EXPECT_EQ(hit.point, 1);  // the second half: nearer its second point
    EXPECT_EQ(at({200, 320}, pickTrackAt, hit), 401);
    EXPECT_EQ(hit.segment, 1);
    EXPECT_EQ(hit.point, 1);
}

TEST_F(ElementPicks, SessionAnchorsWithinTwiceOrThriceTheSnapTolerance) {
    gRunWithoutTrack = 1;
    // The turnout's centre lies at (120, 100).
    EXPECT_EQ(turnoutAt({128, 92}, 0), 403);
    EXPECT_EQ(turnoutAt({129, 100}, 0), 0);
    EXPECT_EQ(turnoutAt({132, 100}, -1), 403);  // -1 widens to 3 x 4
    EXPECT_EQ(turnoutAt({133, 100}, -1), 0);
    PickHit hit;
    EXPECT_EQ(at({150, 300}, pickTrackAt, hit), 0);  // tracks are not picked during a session
}

TEST_F(ElementPicks, TurntableBridgeAndRingEnds) {
    PickHit hit;
    EXPECT_EQ(at({340, 200}, pickTurntableAt, hit), 407);
    EXPECT_EQ(hit.track, 0);
    // Exactly R - snap from the centre is not the bridge: the ring end of slot 2 lies within 4 (the
    // tolerance, limited to the snap tolerance).
    EXPECT_EQ(at({340, 164}, pickTurntableAt, hit), 407);
    EXPECT_EQ(hit.track, 3);
    EXPECT_EQ(at({340, 165}, pickTurntableAt, hit), 407);
    EXPECT_EQ(hit.track, 0);
    EXPECT_EQ(at({301, 201}, pickTurntableAt, hit), 407);  // slot 0's outer end: the bridge's first point
    EXPECT_EQ(hit.track, 1);
    EXPECT_EQ(at({379, 199}, pickTurntableAt, hit), 407);
    EXPECT_EQ(hit.track, 5);  // across the pit: slot 0 + 4 positions + 1
    EXPECT_EQ(at({340, 245}, pickTurntableAt, hit), 0);  // beyond R + snap
}

}  // namespace
