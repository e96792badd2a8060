// The per-block speed correction: learned entries per block and heading, the block's own direction and
// bend corrections, and k = (speed steps + 1) / 28 as a real number.
#include "engine_fixture.h"

#include "operation/engine/speed_correction.h"

namespace {

class SpeedCorrection : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        LayoutBuilder().block(1, {{100, 100}, {300, 100}, {500, 100}}).block(2, {{600, 100}, {700, 100}, {800, 100}})
            .measureBlocks();
        loco = putLocoOnBlock(3, 1, 0, {150, 100}, true, 'H');
    }
    LocoRec* loco = nullptr;
};

TEST_F(SpeedCorrection, LearnedEntriesPerBlockAndHeading) {
    loco->flags |= kLocoAutoCorrection;
    const int b1 = blockNumbered(1)->ownIndex, b2 = blockNumbered(2)->ownIndex;
    loco->blockCorrections[2 * b2] = 6;       // block 2, heading 'H'
    loco->blockCorrections[2 * b1 + 1] = -6;  // block 1, heading 'T'
    struct Case {
        int block;
        char heading;
        int steps;
        int expected;
    };
    const Case cases[] = {
        {2, 'H', 28, static_cast<int>((6 - 2) * 29 / 28.0)},   // 4
        {1, 'T', 28, static_cast<int>((-6 - 2 + 2) * 29 / 28.0)},  // -6
        {2, 'T', 28, 0},                                       // nothing learned there
        {1, 'H', 28, 0},
        {2, 'H', 14, static_cast<int>((6 - 2) * 15 / 28.0)},  // 2: a 14-step decoder is corrected too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.heading) + std::to_string(c.block));
        loco->heading = c.heading;
        loco->run.speedSteps = static_cast<int16_t>(c.steps);
        loco->run.speedCorrection = 99;
        updateSpeedCorrection(loco, blockNumbered(c.block), 0, 0, 200);
        EXPECT_EQ(loco->run.speedCorrection, c.expected);
    }
}

TEST_F(SpeedCorrection, BlockDirectionAndBendCorrections) {
    BlockRec* b = blockNumbered(2);
    b->outwardSlope = 7;  // +3 travelling to the 'H' end
    b->returnSlope = 2;   // -2 travelling to the 'T' end
    b->bendCorrection = -2;
    loco->run.speedSteps = 28;
    const double k = 29 / 28.0;
    updateSpeedCorrection(loco, b, 0, 0, 200);
    EXPECT_EQ(loco->run.speedCorrection, static_cast<int>(3 * k));
    EXPECT_EQ(loco->lastAngle, 0);
    loco->direction = 'a';  // heading 'H' backwards: travelling to the 'T' end
    updateSpeedCorrection(loco, b, 0, 0, 200);
    EXPECT_EQ(loco->run.speedCorrection, static_cast<int>(-2 * k));
    // A short section entered with a turn of 45 degrees adds the bend correction.
    updateSpeedCorrection(loco, b, 0, 45, 5);
    EXPECT_EQ(loco->run.speedCorrection, static_cast<int>(-2 * k + static_cast<int>(-2 * k)));
    EXPECT_EQ(loco->lastAngle, 45);
}

}  // namespace
