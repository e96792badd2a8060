// The maximum step of a train with helper locomotives.
#include "engine_fixture.h"

#include <memory>

#include "operation/engine/helper_locos.h"

namespace {

class HelperLocos : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        LayoutBuilder().block(1, {{100, 100}, {400, 100}}).kinds({1, 6});
    }
    // A helper locomotive off the track whose top speed-table entry is `topSpeed`, linked to a wagon of
    // `main`'s rear chain.
    static LocoRec* helper(LocoRec* main, int number, int topSpeed) {
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(number);
        rec->speedTable[kSpeedTableSize - 1] = static_cast<uint8_t>(topSpeed);
        LocoRec* h = gLocs.append(std::move(rec));
        h->helperWagon = coupleTestWagon(main, true, 20, 'H');
        gHelperLocs.append(h);
        return h;
    }
};

// The main locomotive runs 28 steps of speed i at table entry i, 130 at most: a helper of top speed 45
// allows step 10, one of 90 step 20. The slower helper decides in either table order.
TEST_F(HelperLocos, TheSlowestHelperLimitsTheMaximumStepWhateverItsPlace) {
    struct Case {
        int first, second, expected;
    };
    for (const Case c : {Case{45, 90, 10}, Case{90, 45, 10}, Case{200, 255, 28}}) {
        SCOPED_TRACE(c.first);
        clearTestTrains();
        LocoRec* main = putLocoOnBlock(3, 1, 0, {300, 100}, true, 'H');
        helper(main, 7, c.first);
        helper(main, 8, c.second);
        main->maxStep = 5;
        limitMaxStepByHelpers(main);
        EXPECT_EQ(main->maxStep, c.expected);
    }
}

TEST_F(HelperLocos, HelpersOfOtherTrainsAndTheLocomotiveItselfDoNotLimitIt) {
    LocoRec* main = putLocoOnBlock(3, 1, 0, {300, 100}, true, 'H');
    LocoRec* other = putLocoOnBlock(4, 1, 0, {200, 100}, true, 'H');
    helper(other, 7, 45);
    main->helperWagon = coupleTestWagon(main, true, 20, 'H');
    main->speedTable[kSpeedTableSize - 1] = 10;
    gHelperLocs.append(main);
    main->maxStep = 5;
    limitMaxStepByHelpers(main);
    EXPECT_EQ(main->maxStep, 28);
    limitMaxStepByHelpers(other);
    EXPECT_EQ(other->maxStep, 10);
}

}  // namespace
