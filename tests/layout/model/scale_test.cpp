// Scale table, derived lengths and turnout sizes.
#include <gtest/gtest.h>

#include "layout/model/scale.h"
#include "shell/model/app_state.h"
#include "layout/small_layout.h"

namespace {

struct FixedCase {
    char zoom;
    uint8_t length, branch, grid, tolerance;
    float cmPerUnit;
};

TEST(ScaleParameters, FixedModeSizesFollowTheZoom) {
    const FixedCase cases[] = {
        {'1', 16, 15, 4, 2, 413.337f / 87 / 4},
        {'3', 32, 30, 8, 4, 413.337f / 87 / 8},
        {'9', 80, 75, 20, 10, 413.337f / 87 / 20},
    };
    for (const FixedCase& c : cases) {
        setScaleParameters(c.zoom, '5', 0);
        SCOPED_TRACE(c.zoom);
        EXPECT_EQ(gZoomDigit, c.zoom);
        EXPECT_EQ(gTurnoutLength, c.length);
        EXPECT_EQ(gTurnoutBranchLength, c.branch);
        EXPECT_EQ(gGridStep, c.grid);
        EXPECT_EQ(gSnapTolerance, c.tolerance);
        EXPECT_FLOAT_EQ(gCmPerUnit, c.cmPerUnit);
    }
    setScaleParameters('3', '5', 0);
    EXPECT_NEAR(gCmPerUnit, 0.5939, 0.0001);
}

TEST(ScaleParameters, StandardLengthsAtZoom3Scale5) {
    setScaleParameters('3', '5', 0);
    EXPECT_EQ(gUnit20cm, 20);
    EXPECT_EQ(gHalfUnit20cm, 17);
    EXPECT_EQ(gUnit15cm, 25);
    EXPECT_EQ(gUnit5cm, 8);
    EXPECT_EQ(gUnit40cm, 67);
    EXPECT_EQ(gUnit3cm, 5);
    EXPECT_EQ(gUnit50cm, 84);
    EXPECT_EQ(gUnit4cm, 8);  // 7 raised to the minimum
    EXPECT_EQ(gUnit4cmLess1, 7);
}

TEST(ScaleParameters, StandardLengthsInVariableModeAndLargeScale) {
    setScaleParameters('9', '1', 1);  // 1:22.5
    EXPECT_FLOAT_EQ(gCmPerUnit, 261.0f / 22.5f / 20);
    EXPECT_EQ(gUnit20cm, 77);  // centimetres at this scale
    EXPECT_EQ(gHalfUnit20cm, 66);
    EXPECT_EQ(gUnit3cm, 20);
    EXPECT_EQ(gUnit50cm, 333);
    EXPECT_EQ(gUnit4cm, 27);
}

TEST(ScaleParameters, HalfUnitMinimumUsesThePreviousFourCentimetres) {
    // In a fresh process gUnit4cm is 0: the first call's minimum is 4, later ones 8 + 4.
    setScaleParameters('1', '5', 0);
    EXPECT_EQ(gHalfUnit20cm, 8);
    setScaleParameters('1', '5', 0);
    EXPECT_EQ(gHalfUnit20cm, 12);
}

TEST(ScaleParameters, ZoomGivenAsNumberBecomesDigit) {
    setScaleParameters(0, '5', 0);
    EXPECT_EQ(gZoomDigit, '1');
    EXPECT_EQ(gSnapTolerance, 2);
    setScaleParameters(8, '5', 0);
    EXPECT_EQ(gZoomDigit, '9');
}

TEST(ScaleParameters, DamagedDigitsFallBackToDefaults) {
    // Bytes from a damaged file header never index past the scale table nor give a zero zoom step.
    setScaleParameters('3', 'Z', 0);
    EXPECT_EQ(gScaleDigit, '5');
    EXPECT_FLOAT_EQ(gCmPerUnit, 413.337f / 87 / 8);
    setScaleParameters(static_cast<char>(0xC0), '0', 0);
    EXPECT_EQ(gZoomDigit, '3');
    EXPECT_EQ(gScaleDigit, '5');
    EXPECT_EQ(gTurnoutLength, 32);
}

TEST(ScaleParameters, RescaleFactorFollowsScaleAndMode) {
    setScaleParameters('3', '5', 0);
    setScaleParameters('3', '1', 0);
    EXPECT_FLOAT_EQ(gRescaleFactor, 22.5f / 87);
    setScaleParameters('3', '1', 1);
    EXPECT_FLOAT_EQ(gRescaleFactor, 4.751f / 3);
    setScaleParameters('3', '5', 0);
    EXPECT_FLOAT_EQ(gRescaleFactor, 87 / 22.5f * 3 / 4.751f);
}

TEST(ScaleParameters, ClearsTheTurnoutsRunTimeByte) {
    smalllayout::addTurnout('l', {100, 100}, 0, 1)->runState = 0x25;
    gTurnouts[0]->vehicleFlags = 0x10;
    setScaleParameters('3', '5', 0);
    EXPECT_EQ(gTurnouts[0]->runState, 0);
    EXPECT_EQ(gTurnouts[0]->vehicleFlags, 0x10);
    gTurnouts.clear();
}

TEST(TurnoutSize, VariableModeFromIndexes) {
    gTurnoutLengthIndex = 2;
    gTurnoutWidthIndex = 0;
    setScaleParameters('3', '5', 1);  // unit 8
    EXPECT_EQ(gTurnoutLength, 48);
    EXPECT_EQ(gTurnoutBranchLength, 46);
    EXPECT_EQ(gGridStep, 8);
    EXPECT_EQ(turnoutLengthItem(0), "12 cm");  // 32 units of 0.375 cm
    EXPECT_EQ(turnoutLengthItem(4), "24 cm");
    EXPECT_EQ(turnoutWidthItem(0), "3.0 cm");
    EXPECT_EQ(turnoutWidthItem(1), "4.5 cm");
}

TEST(TurnoutSize, VariableModeMeasuresADrawnTurnout) {
    setScaleParameters('3', '5', 1);
    struct Case {
        int straight, width;
        uint8_t lengthIndex, widthIndex, length, branch, grid;
    };
    const Case cases[] = {
        {44, 8, 2, 0, 48, 46, 8},    // (44 + 4) / 8 - 4 = 2
        {44, 12, 2, 1, 48, 45, 12},  // wider than 8 + 4 / 2
        {30, 8, 0, 0, 32, 30, 8},    // below the shortest
        {100, 8, 4, 0, 64, 62, 8},   // beyond the longest
    };
    for (const Case& c : cases) {
        TurnoutRec t;
        t.legs[0] = {100, 100};
        t.legs[1] = {100 + c.straight, 100};
        t.legs[2] = {100 + c.straight, 100 - c.width};
        SCOPED_TRACE(c.straight * 100 + c.width);
        const int cm = computeTurnoutSize(&t, 0);
        EXPECT_EQ(gTurnoutLengthIndex, c.lengthIndex);
        EXPECT_EQ(gTurnoutWidthIndex, c.widthIndex);
        EXPECT_EQ(gTurnoutLength, c.length);
        EXPECT_EQ(gTurnoutBranchLength, c.branch);
        EXPECT_EQ(gGridStep, c.grid);
        EXPECT_EQ(cm, roundScale(c.length * 0.375));
    }
}

TEST(TurnoutSize, MeasuringOnlyChangesNothing) {
    gTurnoutLengthIndex = 0;
    gTurnoutWidthIndex = 0;
    setScaleParameters('3', '5', 1);
    TurnoutRec t;
    t.legs[0] = {100, 100};
    t.legs[1] = {144, 100};
    t.legs[2] = {144, 88};
    EXPECT_EQ(computeTurnoutSize(&t, 2), 18);  // 48 units
    EXPECT_EQ(gTurnoutLengthIndex, 0);
    EXPECT_EQ(gTurnoutWidthIndex, 0);
    EXPECT_EQ(gTurnoutLength, 32);
}

TEST(SpeedFactor, WaitsForTheTickPeriod) {
    setScaleParameters('3', '5', 0);
    gSpeedFactor = 1.5f;
    gTickPeriod = 0;
    updateSpeedFactor();
    EXPECT_FLOAT_EQ(gSpeedFactor, 1.5f);
    gTickPeriod = 50;
    updateSpeedFactor();
    EXPECT_FLOAT_EQ(gSpeedFactor, static_cast<float>(4.751 / 8 * 87 * 36 / 50));
    setScaleParameters('3', '5', 1);
    updateSpeedFactor();
    EXPECT_FLOAT_EQ(gSpeedFactor, static_cast<float>(3.0 / 8 * 87 * 36 / 50));
}

}  // namespace
