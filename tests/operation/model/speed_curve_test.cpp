// The speed table's rules: which entries a step owns, the straight line of an empty table and the
// maximum speed derived from a curve.
#include <gtest/gtest.h>

#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"

namespace {

LocoRec locoWithSteps(int steps, int maxSpeed) {
    LocoRec l;
    l.run.speedSteps = static_cast<int16_t>(steps);
    l.run.maxSpeed = static_cast<int16_t>(maxSpeed);
    return l;
}

TEST(SpeedCurve, EachOf28StepsOwnsItsEntries) {
    struct Row {
        int step, first, last;
    };
    for (const Row r : {Row{1, 1, 4}, Row{2, 5, 9}, Row{28, 122, 126}}) {
        LocoRec l = locoWithSteps(28, 130);
        EXPECT_EQ(fillSpeedCurveStep(&l, r.step, 77), r.last + 1) << r.step;
        for (int j = 0; j < kSpeedTableSize; ++j)
            EXPECT_EQ(l.speedTable[j], (j >= r.first && j <= r.last) ? 77 : 0) << "step " << r.step << " entry " << j;
    }
}

TEST(SpeedCurve, AnEmptyTableBecomesTheStraightLineToItsMaximum) {
    LocoRec l = locoWithSteps(28, 130);
    normaliseSpeedCurve(&l);
    EXPECT_EQ(l.run.maxSpeed, 130);
    // j * 130 / 126, halves rounded up: 1 -> 1.03, 63 -> 65, 126 -> 130.
    EXPECT_EQ(l.speedTable[0], 0);
    EXPECT_EQ(l.speedTable[1], 1);
    EXPECT_EQ(l.speedTable[2], 2);
    EXPECT_EQ(l.speedTable[63], 65);
    EXPECT_EQ(l.speedTable[126], 130);
    for (int j = 1; j < kSpeedTableSize; ++j) EXPECT_EQ(l.speedTable[j], static_cast<int>(j * 130 / 126.0 + 0.5)) << j;
}

TEST(SpeedCurve, AFlatCurveOf100GivesTheLineWithTheSameMean) {
    LocoRec l = locoWithSteps(28, 130);
    for (int s = 1; s <= 28; ++s) fillSpeedCurveStep(&l, s, 100);
    normaliseSpeedCurve(&l);
    EXPECT_EQ(l.run.maxSpeed, 2 * 2800 / 29);
    EXPECT_EQ(l.run.maxSpeed, 193);
    EXPECT_EQ(l.stepDelay, calcStepDelay(&l, l.acceleration));
}

}  // namespace
