// Turning blocks and tracks around, and the reference block of the direction question.
#include <gtest/gtest.h>

#include "layout/analysis/connection_analysis.h"
#include "layout/analysis/direction_reference.h"
#include "layout/model/geometry.h"
#include "layout/layout_builder.h"
#include "shell/config/messages.h"

TEST(ReversePolyline, BlockAnsweredNeeTradesSectionKindsInputsAndSignalEnds) {
    struct Case {
        std::initializer_list<DiagramPoint> points;
        std::initializer_list<int> kinds, inputs;
        std::string expected;  // describeSections after the reversal
    };
    const Case cases[] = {
        {{{0, 0}, {10, 0}, {20, 0}}, {1, 6}, {11, 12}, "kinds 1 6 inputs 12 11"},
        {{{0, 0}, {10, 0}, {20, 10}, {30, 5}}, {1, 2, 6}, {11, 0, 13}, "kinds 1 5 6 inputs 13 0 11"},
        {{{0, 0}, {10, 0}, {20, 5}, {30, 0}, {40, -8}, {50, 9}}, {1, 3, 0, 2, 6}, {11, 12, 13, 14, 15},
         "kinds 1 5 0 4 6 inputs 15 14 13 12 11"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.expected);
        LayoutBuilder()
            .block(4, k.points)
            .kinds(k.kinds)
            .inputs(k.inputs)
            .block(9, {{0, 90}, {10, 90}, {20, 90}})
            .signal(1, 4, 'H')
            .signal(2, 4, 'T')
            .signal(3, 9, 'H');
        BlockRec* b = blockNumbered(4);
        const BlockRec before = *b;
        const int last = b->sections;

        reverseBlock(b);

        EXPECT_EQ(describeSections(b), k.expected);
        for (int i = 0; i <= last; ++i) EXPECT_EQ(b->points[i], before.points[last - i]) << "point " << i;
        for (int i = 0; i < last; ++i)
            EXPECT_EQ(b->sectionAngles[i], normalizeAngle(before.sectionAngles[last - 1 - i] + 180)) << "section " << i;
        EXPECT_EQ(signalNumbered(1)->direction, 'T');
        EXPECT_EQ(signalNumbered(2)->direction, 'H');
        EXPECT_EQ(signalNumbered(3)->direction, 'H');
    }
}

TEST(ReversePolyline, TrackOfTwoToFourPoints) {
    LayoutBuilder()
        .track({{0, 0}, {10, 0}})
        .track({{0, 0}, {10, 0}, {10, 10}})
        .track({{0, 0}, {10, 0}, {10, 10}, {0, 20}});
    const std::vector<std::vector<int>> expectedAngles = {{180}, {-90, 180}, {-45, -90, 180}};
    for (int i = 0; i < gTrackCount; ++i) {
        TrackRec* t = gTracks[i];
        const TrackRec before = *t;
        reversePolyline(t->points, t->segmentAngles, t->segments, nullptr);
        for (int p = 0; p <= t->segments; ++p) EXPECT_EQ(t->points[p], before.points[t->segments - p]);
        EXPECT_EQ(std::vector<int>(t->segmentAngles, t->segmentAngles + t->segments), expectedAngles[i]);
    }
}

TEST(ReferenceBlock, FirstOfTheFiveLowestNumberedThatIsNoReversingLoop) {
    LayoutBuilder()
        .block(7, {{0, 70}, {10, 70}, {20, 70}})
        .block(2, {{0, 20}, {10, 20}, {20, 20}})
        .loop()
        .block(5, {{0, 50}, {10, 50}, {20, 50}})
        .block(3, {{0, 30}, {10, 30}, {20, 30}});
    EXPECT_EQ(chooseReferenceBlock(), blockNumbered(3));
    std::vector<int> order;
    for (const BlockRec* b : gBlocks) order.push_back(b->number);
    EXPECT_EQ(order, (std::vector<int>{2, 3, 5, 7}));
    EXPECT_EQ(blockNumbered(5)->ownIndex, 2);
}

TEST(ReferenceBlock, TooManyReversingLoopsAmongTheFirstFive) {
    LayoutBuilder b;
    for (int n = 6; n >= 1; --n) {
        b.block(n, {{0, 10 * n}, {10, 10 * n}, {20, 10 * n}});
        if (n <= 5) b.loop();  // 1..5 are reversing loops; 6 is not but comes too late
    }
    EXPECT_EQ(chooseReferenceBlock(), nullptr);
    EXPECT_EQ(lastDialogMessage(), "Er zijn te veel keerlussen");
}

TEST(ReferenceBlock, NoneWithoutBlocksAndNoMessage) {
    LayoutBuilder();
    showDialogMessage("", 3);
    EXPECT_EQ(chooseReferenceBlock(), nullptr);
    EXPECT_EQ(lastDialogMessage(), "");
}
