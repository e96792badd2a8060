// Finding element ends, snapping onto them, end directions and the segment test.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/editor/hit_test.h"
#include "layout/model/geometry.h"
#include "layout/model/turntable_state.h"
#include "layout/layout_builder.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"

namespace {

class HitTest : public ::testing::Test {
protected:
    void SetUp() override { gSnapTolerance = 4; }
};

TEST_F(HitTest, PointNearIsASquareWithItsEdges) {
    struct Case {
        DiagramPoint p;
        int near;
    } cases[] = {{{104, 96}, 1}, {{96, 104}, 1}, {{105, 100}, 0}, {{100, 95}, 0}, {{100, 100}, 1}};
    for (const Case& c : cases) {
        DiagramPoint p = c.p;
        EXPECT_EQ(pointNear(p, {100, 100}, 4, false), c.near) << p.x << "," << p.y;
        EXPECT_EQ(p, c.p);  // without snapping the point stays
        EXPECT_EQ(pointNear(p, {100, 100}, 4, true), c.near);
        EXPECT_EQ(p, (c.near ? DiagramPoint{100, 100} : c.p));
    }
    DiagramPoint far{2147483000, -2147483000};
    EXPECT_EQ(pointNear(far, {-2147483000, 2147483000}, 4, true), 0);  // no overflow on extreme points
}

TEST_F(HitTest, BlockEndsUniqueAndFirst) {
    LayoutBuilder().block(1, {{100, 100}, {150, 100}, {200, 100}}).block(2, {{200, 100}, {250, 100}, {300, 100}});
    DiagramPoint p{202, 97};
    const EndHit<BlockRec> first = findBlockEndAt(p, nullptr, false);
    EXPECT_EQ(first.element, blockNumbered(1));
    EXPECT_EQ(first.end, 2);
    EXPECT_FALSE(first.several);
    EXPECT_EQ(p, (DiagramPoint{200, 100}));
    p = {202, 97};
    EXPECT_TRUE(findBlockEndAt(p, nullptr, true).several);
    p = {202, 97};
    const EndHit<BlockRec> other = findBlockEndAt(p, blockNumbered(1), true);  // excluding one leaves the other
    EXPECT_TRUE(other.one());
    EXPECT_EQ(other.element, blockNumbered(2));
    EXPECT_EQ(other.end, 0);
}

TEST_F(HitTest, BothEndsOfOneShortBlockAreSeveral) {
    LayoutBuilder().block(1, {{100, 100}, {102, 100}, {104, 100}});
    DiagramPoint p{102, 100};
    EXPECT_TRUE(findBlockEndAt(p, nullptr, true).several);
}

TEST_F(HitTest, UnusedFourthLegAtTheOriginMatches) {
    LayoutBuilder().turnout('l', 1, {{100, 100}, {120, 100}, {114, 95}});
    DiagramPoint p{3, -2};
    const EndHit<TurnoutRec> hit = findTurnoutPointAt(p, nullptr, true);
    ASSERT_TRUE(hit.one());
    EXPECT_EQ(hit.end, 3);
    EXPECT_EQ(p, (DiagramPoint{0, 0}));
}

TEST_F(HitTest, ConnectionAtATurnoutPointAndABlockEndIsSeveral) {
    LayoutBuilder()
        .turnout('r', 1, {{100, 100}, {120, 100}, {114, 105}})
        .block(1, {{120, 100}, {170, 100}, {220, 100}});
    DiagramPoint p{121, 101};
    const ConnectionHit hit = findConnectionAt(p, nullptr);
    EXPECT_TRUE(hit.several);
    EXPECT_FALSE(hit.one());
    p = {121, 101};
    const ConnectionHit without = findConnectionAt(p, turnoutNumbered(1));  // the turnout being moved
    ASSERT_TRUE(without.one());
    EXPECT_EQ(without.kind, 'b');
    EXPECT_EQ(without.angle, 180);  // the block leaves its first point against its first section
    EXPECT_EQ(without.letter, 'B');
}

TEST_F(HitTest, ConnectionAnglesLeavingEachEnd) {
    LayoutBuilder()
        .track({{100, 300}, {150, 300}, {150, 350}})
        .turnout('r', 1, {{300, 100}, {320, 100}, {314, 105}})
        .turnout('l', 2, {{300, 200}, {320, 200}, {314, 195}});
    turnoutNumbered(1)->angle = 30;
    turnoutNumbered(2)->angle = 30;
    struct Case {
        DiagramPoint p;
        char kind;
        int end, angle;
    } cases[] = {
        {{100, 300}, 'v', 0, 180},  // first segment 0, turned back
        {{150, 351}, 'v', 2, 90},   // last segment down the screen
        {{300, 100}, 'k', 0, 150},  // -30 - 180, normalised
        {{320, 100}, 'k', 1, -30},
        {{314, 105}, 'k', 2, -15},  // right turnout: 15 - 30
        {{314, 195}, 'k', 2, -45},  // left turnout: -30 - 15
    };
    for (const Case& c : cases) {
        DiagramPoint p = c.p;
        const ConnectionHit hit = findConnectionAt(p, nullptr);
        ASSERT_TRUE(hit.one()) << c.p.x << "," << c.p.y;
        EXPECT_EQ(hit.kind, c.kind);
        EXPECT_EQ(hit.end, c.end);
        EXPECT_EQ(hit.angle, c.angle) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(turnoutConnectionAngle(*turnoutNumbered(1), 3), 135);
}

// Angles a damaged file may hold anywhere in the 32-bit range: an end found there is described by the
// angle modulo 360, without overflow.
TEST_F(HitTest, AnEndOfAnElementWithAFarOutAngleGivesItsAngleModulo360) {
    LayoutBuilder().turnout('l', 1, {{300, 100}, {320, 100}, {314, 95}}).track({{100, 300}, {150, 300}});
    turnoutNumbered(1)->angle = INT32_MIN;  // -128 degrees modulo 360 (2^31 = 5965232 x 360 + 128)
    gTracks[0]->segments = 1;
    gTracks[0]->segmentAngles[0] = INT32_MIN;
    EXPECT_EQ(turnoutConnectionAngle(*turnoutNumbered(1), 0), 128 - 180);
    DiagramPoint p{300, 100};
    EXPECT_EQ(findConnectionAt(p, nullptr).angle, -52);
    p = {100, 300};
    EXPECT_EQ(findConnectionAt(p, nullptr).angle, 52);  // -128 - 180, normalised
}

TEST_F(HitTest, NothingThereIsNone) {
    LayoutBuilder().track({{100, 300}, {150, 300}});
    DiagramPoint p{125, 300};
    const ConnectionHit hit = findConnectionAt(p, nullptr);
    EXPECT_EQ(hit.kind, 0);
    EXPECT_FALSE(hit.several);
    EXPECT_EQ(p, (DiagramPoint{125, 300}));
}

// A turntable with its bridge from (100, 200) to (180, 200): radius 40, 24 positions 4 pixels apart.
class TurntableHit : public HitTest {
protected:
    void SetUp() override {
        HitTest::SetUp();
        LayoutBuilder().turntable(1, {100, 200}, {180, 200}, 24);
        t = gTurntables[0];
        t->positionOfConnection[6] = 2;  // slot 6: a quarter of the half turn on, pointing up
    }
    TurntableRec* t = nullptr;
};

TEST_F(TurntableHit, RingEndsAndTheOppositeSide) {
    // Slot 6 lies at 45 degrees: its outer end at (140 - 28.28, 200 - 28.28).
    DiagramPoint p{113, 171};
    int end = 0, slot = 0;
    EXPECT_EQ(findTurntableTrackAt(p, end, slot, nullptr, true), t);
    EXPECT_EQ(end, 7);
    EXPECT_EQ(slot, 7);
    EXPECT_EQ(p, (DiagramPoint{112, 172}));
    p = {168, 228};  // across the pit
    slot = 0;
    EXPECT_EQ(findTurntableTrackAt(p, end, slot, nullptr, false), t);
    EXPECT_EQ(end, 6 + 24 + 1);
    EXPECT_EQ(p, (DiagramPoint{168, 228}));
    slot = 3;  // only slot 2 may answer
    EXPECT_EQ(findTurntableTrackAt(p, end, slot, nullptr, true), nullptr);
    slot = 0;
    EXPECT_EQ(findTurntableTrackAt(p, end, slot, t->track, true), nullptr);  // its bridge excluded
}

TEST_F(TurntableHit, ToleranceInTheEditorAndInASession) {
    // Half the spacing (4) is 2; the editor takes it (below the snap tolerance).
    DiagramPoint p{110, 174};
    int end = 0, slot = 0;
    EXPECT_EQ(findTurntableTrackAt(p, end, slot, nullptr, false), t);
    p = {109, 174};
    EXPECT_EQ(findTurntableTrackAt(p, end, slot = 0, nullptr, false), nullptr);
    gRunWithoutTrack = 1;  // a session: 1 pixel unless the bridge is reported in position
    p = {110, 174};
    EXPECT_EQ(findTurntableTrackAt(p, end, slot = 0, nullptr, false), nullptr);
    turntableStateFlags(*t) |= kTurntableInPosition;
    EXPECT_EQ(findTurntableTrackAt(p, end, slot = 0, nullptr, false), t);
    gRunWithoutTrack = 0;
}

TEST_F(TurntableHit, ConnectionAtARingTrackHasNoDirection) {
    DiagramPoint p{112, 172};
    const ConnectionHit ring = findConnectionAt(p, nullptr);
    ASSERT_TRUE(ring.one());
    EXPECT_EQ(ring.kind, 'd');
    EXPECT_EQ(ring.angle, 999);
    // The bridge's own position is its track's end.
    p = {100, 200};
    const ConnectionHit bridge = findConnectionAt(p, nullptr);
    ASSERT_TRUE(bridge.one());
    EXPECT_EQ(bridge.kind, 'v');
    EXPECT_EQ(bridge.track, t->track);
}

TEST_F(TurntableHit, ADamagedPositionCountNeverReadsPastTheRing) {
    t->positions = 200;
    for (int k = kTurntablePositions; k < kTurntableConnections; ++k) t->positionOfConnection[k] = 1;
    DiagramPoint p{140, 241};  // on the ring where no connected slot lies
    int end = 0, slot = 0;
    EXPECT_EQ(findTurntableTrackAt(p, end, slot, nullptr, false), nullptr);
}

TEST(PointOnSegment, HalvesAndMisses) {
    struct Case {
        DiagramPoint p;
        int result;
    } cases[] = {{{110, 101}, 1}, {{190, 99}, 2}, {{149, 103}, 1}, {{150, 103}, 2}, {{160, 100}, 2}, {{150, 110}, 0}, {{250, 100}, 0},
                 {{140, 100}, 1}};
    for (const Case& c : cases) EXPECT_EQ(pointOnSegment(100, 100, 200, 100, c.p, 3), c.result) << c.p.x << "," << c.p.y;
    EXPECT_EQ(pointOnSegment(100, 100, 200, 200, {152, 150}, 3), 2);
    EXPECT_EQ(pointOnSegment(100, 100, 200, 200, {120, 150}, 3), 0);
}

TEST(PointOnSegment, ToleranceBelowOneEnds) {
    // Below 1 the halving stops once a piece has shrunk to a point.
    EXPECT_EQ(pointOnSegment(100, 100, 200, 100, {125, 100}, 0.5), 1);
    EXPECT_EQ(pointOnSegment(100, 100, 200, 100, {170, 100}, 0.5), 2);
    EXPECT_EQ(pointOnSegment(100, 100, 200, 100, {150, 100}, 0), 2);
    EXPECT_EQ(pointOnSegment(100, 100, 200, 100, {130, 100}, 0), 0);
    EXPECT_EQ(pointOnSegment(100, 100, 180, 140, {140, 120}, 0), 2);
    EXPECT_EQ(pointOnSegment(100, 100, 180, 140, {120, 110}, std::nan("")), 1);  // no tolerance to stop on
}

TEST_F(HitTest, JoinAngleUpToSixtyDegrees) {
    LayoutBuilder().track({{50, 100}, {100, 100}});  // leaves its last point to the right
    // A segment arriving at (100, 100) must run within 60 degrees of straight on (direction 180).
    EXPECT_EQ(checkJoinAngle(nullptr, {100, 100}, 120), 1);
    EXPECT_EQ(checkJoinAngle(nullptr, {101, 99}, -120), 1);
    EXPECT_EQ(checkJoinAngle(nullptr, {100, 100}, 119), 0);
    EXPECT_EQ(lastDialogMessage(), "De hoek tussen beide bouwstenen is te klein !");
    EXPECT_EQ(checkJoinAngle(gTracks[0], {100, 100}, 0), 1);  // the track itself is not a join
    EXPECT_EQ(checkJoinAngle(nullptr, {300, 300}, 0), 1);     // no element there
}

}  // namespace
