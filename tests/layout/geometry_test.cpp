// Angle arithmetic and point-element outlines.
#include <gtest/gtest.h>

#include "layout/geometry.h"
#include "shell/messages.h"

namespace {

TEST(Angles, NormaliseByOneCorrection) {
    const int cases[][2] = {{540, 180}, {-180, 180}, {181, -179}, {-179, -179}, {180, 180}, {-270, 90}};
    for (const auto& c : cases) EXPECT_EQ(normalizeAngle(c[0]), c[1]) << c[0];
    EXPECT_DOUBLE_EQ(normalizeRadians(3.2), 3.2 - 6.28318);
    EXPECT_DOUBLE_EQ(normalizeRadians(-kPi), kPi);
    EXPECT_DOUBLE_EQ(normalizeRadians(1.0), 1.0);
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
    EXPECT_EQ(lastDialogMessage(),
              "Het maximaal aantal aansluitingen van draaischijf 2 is 18 bij deze draaischijfafmeting en zoomfactor");
    for (int k = 18; k < kTurntablePositions; ++k) {
        EXPECT_EQ(t.outerEnds[k][0], 0);
        EXPECT_EQ(t.outerEnds[k][1], 0);
        EXPECT_EQ(t.innerEnds[k][0], 0);
    }
    EXPECT_EQ(t.positionOfConnection[20], 0);
    EXPECT_EQ(t.outerEnds[0][0], -30);
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
