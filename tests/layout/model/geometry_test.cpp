// Angle arithmetic and point-element outlines.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/model/geometry.h"
#include "shell/config/messages.h"
#include "steps/model/step_program.h"
#include "steps/editor/step_boxes.h"

namespace {

TEST(Angles, NormaliseByOneCorrection) {
    const int cases[][2] = {{540, 180}, {-180, 180}, {181, -179}, {-179, -179}, {180, 180}, {-270, 90}};
    for (const auto& c : cases) EXPECT_EQ(normalizeAngle(c[0]), c[1]) << c[0];
    EXPECT_DOUBLE_EQ(normalizeRadians(3.2), 3.2 - 6.28318);
    EXPECT_DOUBLE_EQ(normalizeRadians(-kPi), kPi);
    EXPECT_DOUBLE_EQ(normalizeRadians(1.0), 1.0);
}

// Turning a stored angle: as one correction near the circle, modulo 360 far from it, never overflowing;
// conversions to whole pixels held at the ends of the range.
TEST(Angles, TurnedAnglesAndConversionsOfValuesFromADamagedFile) {
    const int32_t cases[][3] = {{170, 90, -100}, {-90, -90, 180}, {90, 180, -90}, {INT32_MAX, 90, -143},
                                {INT32_MIN, -90, 142}, {INT32_MIN, 180, 52}, {720, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(turnAngle(c[0], c[1]), c[2]) << c[0] << " + " << c[1];
    EXPECT_EQ(roundHalfAway(3e9), INT32_MAX);
    EXPECT_EQ(roundHalfAway(-3e9), INT32_MIN);
    EXPECT_EQ(roundHalfAway(std::nan("")), 0);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(truncatedInt(-2.5), -2);
    EXPECT_EQ(truncatedInt(1e300), INT32_MAX);
    EXPECT_EQ(wrappingAdd(INT32_MAX, 1), INT32_MIN);
    DiagramPoint p{INT32_MIN, 5};
    rotateQuarter(p, 180);
    EXPECT_EQ(p, (DiagramPoint{INT32_MIN, -5}));
}

TEST(Angles, SegmentDirections) {
    struct Case {
        int x2, y2, angle;
    } cases[] = {{10, -10, -45}, {-10, 0, 180}, {0, 0, 0}, {0, 5, 90}, {0, -5, -90}, {10, 0, 0},
                 {10, 10, 45},   {-10, 10, 135}, {-10, -10, -135}, {100, 1, 1}, {100, -87, -41}};
    for (const Case& c : cases) EXPECT_EQ(angleOfSegment(0, 0, c.x2, c.y2), c.angle) << c.x2 << "," << c.y2;
    EXPECT_EQ(angleOfSegment(50, 50, 60, 40), -45);  // relative to the first point
}

TEST(Angles, FloatNormalisationAndComparison) {
    EXPECT_DOUBLE_EQ(normalizeAngleF(181.5), -178.5);
    EXPECT_DOUBLE_EQ(normalizeAngleF(-180), 180);
    EXPECT_DOUBLE_EQ(normalizeAngleF(540), 180);
    EXPECT_DOUBLE_EQ(normalizeAngleF(-179.5), -179.5);
    struct Case {
        int a, b, tolerance, result;
    } cases[] = {{179, -179, 5, 0}, {179, -179, 1, 2}, {10, 0, 5, 1}, {0, 10, 5, 2}, {5, 0, 5, 0}, {-5, 0, 5, 0},
                 {-179, 179, 1, 1}, {90, -90, 60, 1}};
    for (const Case& c : cases) EXPECT_EQ(compareAngles(c.a, c.b, c.tolerance), c.result) << c.a << " " << c.b;
}

TEST(Rounding, HalfAwayFromZero) {
    EXPECT_EQ(roundHalfAway(2.5), 3);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(-2.4), -2);
}

TEST(RotatePoint, QuarterAndFreeAngles) {
    EXPECT_EQ(rotatePoint({10, 0}, {0, 0}, 90), (DiagramPoint{0, -10}));
    EXPECT_EQ(rotatePoint({10, 0}, {0, 0}, -90), (DiagramPoint{0, 10}));
    EXPECT_EQ(rotatePoint({10, 5}, {0, 0}, 180), (DiagramPoint{-10, -5}));
    EXPECT_EQ(rotatePoint({0, 7}, {3, 3}, 90), (DiagramPoint{0, 7}));  // x = 0 is never turned
    // 45 degrees counter-clockwise on the screen: (10, 0) about the origin goes up and right.
    EXPECT_EQ(rotatePoint({110, 100}, {100, 100}, 45), (DiagramPoint{107, 93}));
}

TEST(RotateQuarter, IntegerAndFloat) {
    DiagramPoint v{3, 4};
    rotateQuarter(v, 90);
    EXPECT_EQ(v, (DiagramPoint{4, -3}));
    rotateQuarter(v, -90);
    EXPECT_EQ(v, (DiagramPoint{3, 4}));
    rotateQuarter(v, 180);
    EXPECT_EQ(v, (DiagramPoint{-3, -4}));
    rotateQuarter(v, 45);
    EXPECT_EQ(v, (DiagramPoint{-3, -4}));
    float x = 1.5f, y = -2;
    rotateQuarterF(x, y, -90);
    EXPECT_FLOAT_EQ(x, 2);
    EXPECT_FLOAT_EQ(y, 1.5f);
}

TEST(PointElements, OutlinesTurnAboutTheAnchor) {
    SignalRec s;
    s.angle = 90;
    layoutSignal(s, {100, 100});
    const DiagramPoint signal[4] = {{100, 100}, {96, 96}, {105, 96}, {100, 88}};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(s.outline[k], signal[k]) << k;
    OutputRec o;
    layoutOutput(o, {50, 60});
    const DiagramPoint output[4] = {{50, 60}, {50, 64}, {50, 68}, {60, 60}};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(o.outline[k], output[k]) << k;
    InputRec i;
    i.angle = 180;
    layoutInput(i, {30, 40});
    EXPECT_EQ(i.anchor, (DiagramPoint{30, 40}));
    EXPECT_EQ(i.secondPoint, (DiagramPoint{20, 40}));
}

class TurnoutShape : public ::testing::Test {
protected:
    void SetUp() override {
        gTurnoutLength = 20;
        gTurnoutBranchLength = 14;
        gGridStep = 5;
    }
    static void expectShape(const TurnoutRec& t, const DiagramPoint (&legs)[4], DiagramPoint centre) {
        for (int k = 0; k < 4; ++k) EXPECT_EQ(t.legs[k], legs[k]) << "leg " << k;
        EXPECT_EQ(t.centre, centre);
    }
};

TEST_F(TurnoutShape, RightTurnoutFromAnyLeg) {
    const DiagramPoint legs[4] = {{100, 100}, {120, 100}, {114, 105}, {0, 0}};
    // The same turnout, held at its root, its straight exit or its diverging exit.
    const DiagramPoint held[3] = {{100, 100}, {120, 100}, {114, 105}};
    for (int leg = 0; leg < 3; ++leg) {
        TurnoutRec t;
        t.subtype = 'r';
        layoutTurnout(t, held[leg], leg);
        expectShape(t, legs, {110, 100});
    }
}

TEST_F(TurnoutShape, LeftTurnoutDoubleSlipAndTurned) {
    TurnoutRec left;
    left.subtype = 'l';
    layoutTurnout(left, {100, 100}, 0);
    expectShape(left, {{100, 100}, {120, 100}, {114, 95}, {0, 0}}, {110, 100});
    TurnoutRec slip;
    slip.subtype = 'k';
    layoutTurnout(slip, {106, 105}, 3);  // the fourth leg held: the root comes out at (100, 100)
    expectShape(slip, {{100, 100}, {120, 100}, {114, 95}, {106, 105}}, {110, 100});
    TurnoutRec turned;
    turned.subtype = 'r';
    turned.angle = 90;  // straight exit up the screen
    layoutTurnout(turned, {100, 100}, 0);
    expectShape(turned, {{100, 100}, {100, 80}, {105, 86}, {0, 0}}, {100, 90});
}

TEST(PointElements, StepBoxIsTwoLinesHighAndNotTurned) {
    StepProgramRec p;
    layoutStepBox(p, {40, 60});
    EXPECT_EQ(p.box.left, 40);
    EXPECT_EQ(p.box.top, 60);
    EXPECT_EQ(p.box.bottom, 60 + 2 * 12 + 2);
    EXPECT_GE(p.box.right, 40);  // the text width on the main window (none here)
}

TEST(Turntable, RingFromTheBridge) {
    gSnapTolerance = 4;
    TurntableRec t;
    t.positions = 24;
    t.bridgeSpeed = 50;
    const DiagramPoint a{100, 200}, b{180, 200};
    EXPECT_EQ(layoutTurntable(t, &a, &b), 1);  // radius 40 holds truncate(40 x pi / 5 - 0.5) = 24
    EXPECT_FLOAT_EQ(t.centre[0], 140);
    EXPECT_FLOAT_EQ(t.radius, 40);
    EXPECT_FLOAT_EQ(t.bridgeAngle, 0);
    EXPECT_EQ(t.positionOfConnection[0], 1);
    EXPECT_EQ(t.positionSpacing, 4);  // truncate(40 x pi / 24 - 0.5)
    EXPECT_FLOAT_EQ(t.angularSpeed, 0.005f);
    EXPECT_EQ(t.outerEnds[0][0], -40);
    EXPECT_EQ(t.outerEnds[0][1], 0);
    EXPECT_EQ(t.innerEnds[0][0], -34);
    EXPECT_EQ(t.outerEnds[12][0], 0);  // a quarter turn on
    EXPECT_EQ(t.outerEnds[12][1], -40);
}

TEST(Turntable, TooManyPositionsAreCutAndTheRestCleared) {
    gSnapTolerance = 4;
    TurntableRec t;
    t.number = 2;
    t.positions = 24;
    const DiagramPoint a{100, 200}, b{180, 200};
    layoutTurntable(t, &a, &b);
    t.positionOfConnection[20] = 5;
    // The same turntable with a bridge of 60: radius 30 holds 18 positions.
    const DiagramPoint c{110, 200}, d{170, 200};
    EXPECT_EQ(layoutTurntable(t, &c, &d), 0);
    EXPECT_EQ(t.positions, 18);
    EXPECT_EQ(turntablePositionLimitText(t),
              "Het maximaal aantal aansluitingen van draaischijf 2 is 18 bij deze draaischijfafmeting en zoomfactor");
    for (int k = 18; k < kTurntablePositions; ++k) {
        EXPECT_EQ(t.outerEnds[k][0], 0);
        EXPECT_EQ(t.outerEnds[k][1], 0);
        EXPECT_EQ(t.innerEnds[k][0], 0);
    }
    EXPECT_EQ(t.positionOfConnection[20], 0);
    EXPECT_EQ(t.outerEnds[0][0], -30);
}

TEST(Turntable, APitTooSmallForAnyPosition) {
    gSnapTolerance = 4;
    TurntableRec t;
    t.positions = 12;
    const DiagramPoint a{100, 100}, b{102, 100};  // radius 1: truncate(1 x pi / 5 - 0.5) = 0 positions
    EXPECT_EQ(layoutTurntable(t, &a, &b), 0);
    EXPECT_EQ(t.positions, 0);
    EXPECT_EQ(t.positionSpacing, 0);
    EXPECT_EQ(t.outerEnds[0][0], 0);
}

TEST(Turntable, StoredGeometryWithoutPoints) {
    gSnapTolerance = 4;
    TurntableRec t;
    t.positions = 4;
    t.radius = 20;
    t.bridgeAngle = static_cast<float>(kPi / 2);
    t.currentAngle = 1;
    EXPECT_EQ(layoutTurntable(t, nullptr, nullptr), 1);
    EXPECT_EQ(t.outerEnds[0][0], 0);
    EXPECT_EQ(t.outerEnds[0][1], -20);
    EXPECT_FLOAT_EQ(t.currentAngle, 1);  // only a bridge track sets the current angle
}

}  // namespace

namespace {

TEST(Turntable, DamagedPositionCountsStayInsideTheRing) {
    gSnapTolerance = 4;
    const DiagramPoint a{100, 200}, b{300, 200};  // radius 100 would hold 62
    TurntableRec t;
    t.positions = 30;  // more than the record has room for
    EXPECT_EQ(layoutTurntable(t, &a, &b), 0);
    EXPECT_EQ(t.positions, kTurntablePositions);
    TurntableRec none;
    none.positions = 0;
    EXPECT_EQ(layoutTurntable(none, &a, &b), 1);
    EXPECT_EQ(none.positionSpacing, 0);
}

}  // namespace
