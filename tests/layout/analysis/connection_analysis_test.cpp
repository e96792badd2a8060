// Tracing the ways between blocks on small layouts.
#include <gtest/gtest.h>

#include <fstream>

#include "layout/analysis_fixture.h"
#include "layout/analysis/connection_analysis.h"

using Strings = std::vector<std::string>;

namespace {

// An oval. Below: turnout 2 (left, root pointing left) and turnout 1 (right, root pointing right)
// with block 1 on the straight road between their straight exits and block 2 on the passing loop
// between their diverging exits. Above: two tracks close the oval from root to root.
//
//      (150,100)+--------(400,100)--------+(650,100)
//               |                         |
//    (200,300) [2]====== block 1 ========[1] (600,300)
//                 \===== block 2 =======/
void buildOval(LayoutBuilder& b, bool block2Reversed = false, bool track1Reversed = false) {
    b.turnout('r', 2, {{200, 300}, {220, 300}, {214, 320}})
        .turnout('l', 1, {{600, 300}, {580, 300}, {586, 320}})
        .block(1, {{220, 300}, {400, 300}, {580, 300}});
    if (block2Reversed)
        b.block(2, {{586, 320}, {500, 340}, {300, 340}, {214, 320}}).kinds({1, 2, 6}).inputs({11, 12, 13});
    else
        b.block(2, {{214, 320}, {300, 340}, {500, 340}, {586, 320}}).kinds({1, 5, 6}).inputs({13, 12, 11});
    if (track1Reversed)
        b.track({{400, 100}, {650, 100}, {650, 250}, {600, 300}});
    else
        b.track({{600, 300}, {650, 250}, {650, 100}, {400, 100}});
    b.track({{400, 100}, {150, 100}, {150, 250}, {200, 300}});
}

const Strings kOvalConnections = {
    "1 1 T 2G 1G", "1 1 H 1G 2G", "1 2 T 2G 1R", "1 2 H 1G 2R",
    "2 1 T 2R 1G", "2 1 H 1R 2G", "2 2 T 2R 1R", "2 2 H 1R 2R",
};

// A balloon: block 1 ends at turnout 1's root; its straight exit leads through block 2 and round
// back into its diverging exit, so trains leaving block 1 outward come back facing the other way.
//
//   (314,100)+---------------------+(550,100)
//            |                    /
//   block 1 [1]--(400,200)=block 2=(500,200)
void buildBalloon(LayoutBuilder& b, bool markLoop = false) {
    b.block(1, {{100, 200}, {200, 200}, {300, 200}})
        .turnout('l', 1, {{300, 200}, {320, 200}, {314, 190}})
        .track({{320, 200}, {400, 200}})
        .block(2, {{400, 200}, {450, 200}, {500, 200}});
    if (markLoop) b.loop();
    b.track({{500, 200}, {550, 100}, {314, 100}, {314, 190}});
}

// Two blocks closed into a ring by two tracks, without any turnout.
void buildPlainOval(LayoutBuilder& b) {
    b.block(1, {{200, 300}, {400, 300}, {600, 300}})
        .track({{600, 300}, {650, 250}, {650, 100}, {400, 100}})
        .block(2, {{400, 100}, {300, 100}, {200, 100}})
        .track({{200, 100}, {150, 150}, {150, 250}, {200, 300}});
}

bool runsOutwardFromFirstPoint(const TrackRec* t, DiagramPoint first, DiagramPoint last) {
    return t->points[0] == first && t->points[t->segments] == last;
}

}  // namespace

TEST_F(AnalysisTest, OvalWithPassingLoopGivesEveryWayWithItsTurnoutPositions) {
    LayoutBuilder b;
    buildOval(b);
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(describeConnections(), kOvalConnections);
    EXPECT_TRUE(connectionDeadEnds().empty());
    EXPECT_TRUE(opened.empty()) << "nothing needs attention";
}

TEST_F(AnalysisTest, PlainOvalWithoutTurnoutsHasNoReversingLoop) {
    LayoutBuilder b;
    buildPlainOval(b);
    analyseConnections(blockNumbered(1));

    ASSERT_EQ(gConnectionCount, 4);
    for (const ConnectionRec* c : gConnections) EXPECT_EQ(c->loop, 0) << describeConnection(c);
    EXPECT_TRUE(opened.empty()) << "nothing needs attention";
}

TEST_F(AnalysisTest, ElementsDrawnAgainstTheOutwardDirectionAreTurned) {
    LayoutBuilder b;
    buildOval(b, /*block2Reversed=*/true, /*track1Reversed=*/true);
    b.signal(21, 2, 'H').signal(22, 2, 'T');
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(describeConnections(), kOvalConnections);
    const BlockRec* block2 = blockNumbered(2);
    EXPECT_EQ(block2->points[0], (DiagramPoint{214, 320}));
    EXPECT_EQ(block2->points[3], (DiagramPoint{586, 320}));
    EXPECT_EQ(describeSections(block2), "kinds 1 5 6 inputs 13 12 11");
    EXPECT_EQ(signalNumbered(21)->direction, 'T');
    EXPECT_EQ(signalNumbered(22)->direction, 'H');
    EXPECT_TRUE(runsOutwardFromFirstPoint(gTracks[0], {600, 300}, {400, 100}));
    EXPECT_EQ(gTracks[0]->segmentAngles[0], -45);  // from (600,300) up and to the right
}

TEST_F(AnalysisTest, WayThatTurnsBackIsFlaggedAsReversingLoopAndReported) {
    LayoutBuilder b;
    buildBalloon(b);
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(describeConnections(), Strings({"1 2 H loop 1R", "1 2 H 1G", "2 1 H loop 1R", "2 1 T 1G"}));
    std::string report = reportText();
    EXPECT_NE(report.find("Verbinding 0 : richting 'H'   van 1  naar 2  gewijzigd naar keerlus\n"), std::string::npos);
    EXPECT_NE(report.find("Verbinding 2 : richting 'H'   van 2  naar 1  gewijzigd naar keerlus\n"), std::string::npos);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(AnalysisTest, ReversingLoopMarkedOnItsBlockIsFlaggedWhileTracing) {
    LayoutBuilder b;
    buildBalloon(b, /*markLoop=*/true);
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(describeConnections(), Strings({"1 2 H loop 1R", "1 2 H 1G", "2 1 H loop 1R", "2 1 T 1G"}));
    EXPECT_EQ(reportText().find("gewijzigd"), std::string::npos);
    EXPECT_TRUE(opened.empty());
}

TEST_F(AnalysisTest, TrackLeadingNowhereLeavesRedMarksAndNoConnection) {
    LayoutBuilder b;
    b.block(1, {{100, 100}, {200, 100}, {300, 100}}).track({{300, 100}, {400, 100}});
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(gConnectionCount, 0);
    EXPECT_EQ(connectionDeadEnds(), (std::vector<DiagramPoint>{{400, 100}, {100, 100}}));
    EXPECT_NE(reportText().find("Geen aansluiting voor blok 1\n"), std::string::npos);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(AnalysisTest, RingOfTracksWithoutBlockEndsTheWay) {
    LayoutBuilder b;
    b.block(1, {{100, 300}, {150, 300}, {200, 300}})
        .track({{200, 300}, {300, 300}, {300, 200}})
        .track({{300, 200}, {200, 200}})
        .track({{200, 200}, {200, 300}});
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(gConnectionCount, 0);
    EXPECT_EQ(connectionDeadEnds().size(), 2u);
    EXPECT_NE(reportText().find("Geen aansluiting voor blok 1\n"), std::string::npos);
}

TEST_F(AnalysisTest, UnusedFourthLegOfPlainTurnoutJoinsNothing) {
    // The track's free end lies near (0,0), where an 'l' turnout keeps its unused fourth leg.
    LayoutBuilder b;
    b.block(1, {{100, 100}, {200, 100}, {300, 100}})
        .track({{100, 100}, {2, 2}})
        .turnout('l', 9, {{400, 100}, {420, 100}, {414, 90}})
        .block(2, {{420, 100}, {500, 100}, {600, 100}});
    analyseConnections(blockNumbered(1));

    EXPECT_TRUE(describeConnections().empty());
    EXPECT_EQ(connectionDeadEnds(), (std::vector<DiagramPoint>{{300, 100}, {2, 2}}));
}

TEST_F(AnalysisTest, WayAcrossTurntableBridgeAndTurntableFollowsItsTurnedBridge) {
    LayoutBuilder b;
    b.block(1, {{100, 200}, {200, 200}, {300, 200}})
        .turntable(1, {380, 200}, {300, 200}, 12)  // bridge drawn against the outward direction
        .block(2, {{380, 200}, {480, 200}, {580, 200}});
    const TurntableRec* t = gTurntables[0];
    ASSERT_EQ(t->outerEnds[0][0], 40);

    analyseConnections(blockNumbered(1));

    EXPECT_EQ(describeConnections(), Strings({"1 2 H", "2 1 T"}));
    EXPECT_EQ(t->track->points[0], (DiagramPoint{300, 200}));
    EXPECT_FLOAT_EQ(t->bridgeAngle, 0.0f);
    EXPECT_EQ(t->outerEnds[0][0], -40);
    EXPECT_EQ(t->outerEnds[0][1], 0);
}

TEST_F(AnalysisTest, TurnoutLimitPerConnection) {
    // Block 1, a row of n crossings passed straight on, block 2.
    struct Case {
        int crossings;
        bool connected;
    };
    for (Case k : {Case{20, true}, Case{21, false}}) {
        SCOPED_TRACE(k.crossings);
        LayoutBuilder b;
        b.block(1, {{10, 100}, {50, 100}, {100, 100}});
        for (int i = 0; i < k.crossings; ++i) {
            int x = 100 + 20 * i;
            b.turnout('x', 0, {{x, 100}, {x + 20, 100}, {x + 14, 94}, {x + 6, 106}});
        }
        int end = 100 + 20 * k.crossings;
        b.block(2, {{end, 100}, {end + 50, 100}, {end + 100, 100}});
        analyseConnections(blockNumbered(1));

        std::string report = reportText();
        if (k.connected) {
            ASSERT_EQ(gConnectionCount, 2);
            EXPECT_EQ(connectionTurnoutCount(gConnections[0]), 20);
            EXPECT_EQ(report.find("Teveel"), std::string::npos);
        } else {
            EXPECT_EQ(gConnectionCount, 0);
            EXPECT_EQ(report.rfind("Teveel wissels/kruisingen in verbinding (20)\n***** proef.vtl *****\n", 0), 0u);
        }
    }
}

TEST_F(AnalysisTest, ConnectionTableFullStillGivesACleanTableAndFullReport) {
    LayoutBuilder b;
    buildStationRing(b, 66);  // 528 ways
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(gConnectionCount, 500);
    for (const ConnectionRec* c : gConnections) ASSERT_NE(c->to, nullptr);
    std::string report = reportText();
    EXPECT_NE(report.find("Maximum aantal verbindingen (500) werd bereikt\n"), std::string::npos);
    EXPECT_NE(report.find("***** proef.vtl *****\n\n"), std::string::npos);
    EXPECT_NE(report.find("Verbinding 499 : "), std::string::npos);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(AnalysisTest, StationRingBelowTheLimitConnectsEveryBlockEnd) {
    LayoutBuilder b;
    buildStationRing(b, 3);
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(gConnectionCount, 24);
    EXPECT_TRUE(connectionDeadEnds().empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(AnalysisTest, NothingHappensWithoutBlocks) {
    LayoutBuilder b;
    b.track({{10, 10}, {20, 10}});
    analyseConnections(nullptr);
    EXPECT_FALSE(std::ifstream(dir.file("proef.log")).good());
}
