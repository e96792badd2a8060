// Angle guides, the pointer range, the length read-outs and the drawing aids of the editor.
#include <gtest/gtest.h>

#include "layout/editor/angle_guides.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/drawing_aids.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_colours.h"
#include "layout/editor/measure_readouts.h"
#include "layout/editor/pointer_range.h"
#include "layout/model/scale.h"
#include "layout/layout_builder.h"
#include "platform/canvas.h"
#include "shell/model/app_state.h"
#include "shell/window/editor_readouts.h"
#include "shell/model/input_state.h"
#include "shell/window/mouse_pointer.h"

namespace {

struct GuideCase {
    int base;
    DiagramPoint pointer, result;
};

TEST(AngleGuides, PointerDrawnOntoTheNearerGuide) {
    const GuideCase cases[] = {
        {0, {150, 110}, {150, 110}},   // within 60 degrees of the base: as it is
        {0, {110, 150}, {110, 117}},   // beyond +60: onto the 60-degree guide along x
        {0, {110, 50}, {110, 83}},     // beyond -60: onto the -60-degree guide
        {0, {90, 150}, {100, 100}},    // behind the guide: the origin
        {90, {150, 120}, {150, 129}},  // guide 30 degrees
        {90, {50, 120}, {50, 129}},    // guide 150 degrees, leftwards
        {30, {95, 150}, {100, 150}},   // guide 90 degrees, along y
        {-90, {150, 80}, {150, 71}},   // guide -30 degrees
        {999, {300, 10}, {300, 10}},   // no direction: guides off
    };
    for (const GuideCase& c : cases) {
        setAngleGuides(100, 100, c.base, 60);
        EXPECT_EQ(applyAngleGuide(c.pointer), c.result) << "base " << c.base << " at " << c.pointer.x << "," << c.pointer.y;
    }
    setAngleGuides(100, 100, 170, 60);
    EXPECT_EQ(gAngleGuides[0].direction, -130);  // normalised
    EXPECT_EQ(gAngleGuides[1].direction, 110);
}

TEST(PointerRange, DrawingAreaExcludesItsEdges) {
    gDrawArea = {0, 0, 640, 392};
    struct Case {
        int x, y, inside;
    } cases[] = {{1, 1, 3}, {639, 391, 3}, {0, 100, 0}, {640, 100, 0}, {100, 392, 0}, {100, 0, 0}, {-5, -5, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(isInDrawingArea(c.x, c.y), c.inside) << c.x << "," << c.y;
        EXPECT_EQ(gInDrawingArea, c.inside);
    }
}

TEST(PointerRange, ArrowKeysStepByTheGridOrOnePixel) {
    gGridStep = 8;
    gMousePoint = {100, 100};
    const int keys[] = {39, 40, 37, 38, 39};
    const DiagramPoint after[] = {{108, 100}, {108, 108}, {100, 108}, {100, 100}, {108, 100}};
    for (int k = 0; k < 5; ++k) {
        gPendingKey = static_cast<uint8_t>(keys[k]);
        stepCursorByKey();
        EXPECT_EQ(gMousePoint, after[k]) << k;
    }
    gShiftState = 1;  // Shift alone: one pixel
    stepCursorByKey();
    EXPECT_EQ(gMousePoint, (DiagramPoint{109, 100}));
    gShiftState = 5;  // Shift with Ctrl: the grid step
    stepCursorByKey();
    EXPECT_EQ(gMousePoint, (DiagramPoint{117, 100}));
    gPendingKey = 't';
    stepCursorByKey();
    EXPECT_EQ(gMousePoint, (DiagramPoint{117, 100}));
    gShiftState = 0;
    gPendingKey = 0;
}

TEST(PointerRange, APointerOutsideTheRangeGoesBackInside) {
    gDrawArea = {10, 10, 300, 200};
    gLastPointer = {350, 150};
    gMousePoint = {400, 150};
    clampCursor();
    EXPECT_EQ(gMousePoint, (DiagramPoint{300, 150}));  // the last position, clamped into the range
    EXPECT_EQ(gPointerShown, 1);
    gMousePoint = {50, 50};
    clampCursor();
    EXPECT_EQ(gMousePoint, (DiagramPoint{50, 50}));
    EXPECT_EQ(gPointerShown, 0);  // inside, the crosshair stands for the pointer
}

TEST(PointerRange, BoundsSkipUnusedPointsForTheMinimum) {
    gCanvasSize = {640, 480};
    const DiagramPoint legs[5] = {{100, 100}, {120, 100}, {114, 105}, {0, 0}, {110, 100}};
    DrawRect box;
    EXPECT_EQ(pointsBoundsInArea(legs, 5, box), 1);
    EXPECT_EQ(box, (DrawRect{100, 100, 120, 105}));
    const DiagramPoint low[2] = {{10, 380}, {20, 393}};  // 88 pixels above the bottom is the limit
    EXPECT_EQ(pointsBoundsInArea(low, 2, box), 0);
    const DiagramPoint left[2] = {{-1, 10}, {20, 20}};
    EXPECT_EQ(pointsBoundsInArea(left, 2, box), 0);
    const DiagramPoint edge[2] = {{0, 0}, {640, 392}};
    EXPECT_EQ(pointsBoundsInArea(edge, 2, box), 1);
    DiagramPoint many[17] = {};
    EXPECT_EQ(pointsBoundsInArea(many, 17, box), 0);
}

TEST(Readouts, SegmentCurveAndPointerTexts) {
    gCmPerUnit = 0.5f;
    const SegmentEnds first{{0, 0}, {100, 0}};
    const SegmentEnds second{{100, 0}, {100, -60}};
    EXPECT_EQ(segmentMeasuresText(first, nullptr, 999, -45, 100), ">135\xB0      50.0  >45\xB0      Total:50.0");
    EXPECT_EQ(segmentMeasuresText(first, &second, 0, -90, 160),
              "50.0  >0\xB0      >90\xB0      30.0  >90\xB0      Total:80.0");
    EXPECT_EQ(curveMeasuresText({0, 0}, {30, 40}, 10, -20), ">150\xB0      25.00  >20\xB0");
    gLayoutOffset = {-20, 0};
    EXPECT_EQ(cursorPositionText({120, 50}), "70.0 / 25.0");
    const DiagramPoint polyline[3] = {{0, 0}, {100, 0}, {100, -60}};
    showSegmentMeasures(polyline, 2, second, nullptr, 0, -90);
    EXPECT_EQ(lineLengthReadout(), ">90\xB0      30.0  >90\xB0      Total:80.0");
}

TEST(Readouts, AngleBetweenSegmentsIsZeroToOneEighty) {
    struct Case {
        int reference, direction, between;
    } cases[] = {{0, 0, 180}, {0, 30, 150}, {0, -30, 150}, {999, 90, 90}, {170, -170, 160}, {-170, 170, 160}, {0, 180, 0}};
    for (const Case& c : cases) EXPECT_EQ(angleBetweenSegments(c.reference, c.direction), c.between);
}

}  // namespace

namespace {

class DrawingAids : public ::testing::Test {
protected:
    void SetUp() override {
        gCanvasSize = {640, 480};
        gDiagramCanvas = &canvas;
    }
    void TearDown() override {
        gDiagramCanvas = nullptr;
        gTurntableMode = 0;
    }
    bool untouched() const { return canvas.image() == blank.image(); }
    vestrel::Canvas canvas{640, 480, kBackgroundColour};
    vestrel::Canvas blank{640, 480, kBackgroundColour};
};

TEST_F(DrawingAids, CrosshairInNotXorAndErasedBySecondDrawing) {
    drawCrosshair(100, 50);
    const uint32_t purpleOnSilver = ~(0x800080u ^ kBackgroundColour) & 0xFFFFFF;
    EXPECT_EQ(canvas.Pixel(0, 50), purpleOnSilver);
    EXPECT_EQ(canvas.Pixel(639, 50), purpleOnSilver);
    EXPECT_EQ(canvas.Pixel(100, 0), purpleOnSilver);
    EXPECT_EQ(canvas.Pixel(100, 391), purpleOnSilver);
    EXPECT_EQ(canvas.Pixel(100, 392), kBackgroundColour);  // not into the strip 88 pixels high at the bottom
    EXPECT_EQ(canvas.Pen.Mode, vestrel::PenMode::Copy);
    drawCrosshair(100, 50);
    EXPECT_TRUE(untouched());
}

TEST_F(DrawingAids, RubberBandIsDottedAndErasable) {
    drawRubberSegment({10, 10}, {30, 10});
    // White dots leave the silver diagram as it is; the silver gaps between them show white.
    const uint32_t expected[8] = {kBackgroundColour, kBackgroundColour, kBackgroundColour, kWhiteColour,
                                  kWhiteColour,      kWhiteColour,      kBackgroundColour, kBackgroundColour};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(canvas.Pixel(10 + k, 10), expected[k]) << k;
    EXPECT_EQ(canvas.Pixel(30, 10), kBackgroundColour);  // the end pixel is left out
    drawRubberSegment({10, 10}, {30, 10});
    EXPECT_TRUE(untouched());
}

TEST_F(DrawingAids, TurntableRubberBandAddsTheCircleOnItsDiameter) {
    gTurntableMode = 1;
    drawRubberSegment({100, 200}, {180, 200});
    EXPECT_EQ(canvas.Pixel(140, 215), kWhiteColour);       // inside the pit
    EXPECT_EQ(canvas.Pixel(140, 230), kWhiteColour);
    EXPECT_EQ(canvas.Pixel(140, 250), kBackgroundColour);  // outside radius 40
    drawRubberSegment({100, 200}, {180, 200});
    EXPECT_TRUE(untouched());
    drawXorLine(5, 5, 50, 80, kRedColour);
    EXPECT_FALSE(untouched());
    drawXorLine(5, 5, 50, 80, kRedColour);
    EXPECT_TRUE(untouched());
}

}  // namespace
