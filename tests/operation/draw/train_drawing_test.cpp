// Trains on the diagram: the locomotive symbol with its label, colours and direction dot; wagons drawn
// with a not-XOR pen; erasing down to the back buffer; the per-cycle redraw of moved trains.
#include <gtest/gtest.h>

#include "layout/draw/diagram_canvas.h"
#include "layout/layout_builder.h"
#include "layout/model/scale.h"
#include "operation/draw/train_drawing.h"
#include "operation/model/train_model.h"
#include "platform/canvas.h"

namespace {

using vestrel::Canvas;
using vestrel::TColor;

constexpr TColor kSilver = 0xC0C0C0;

class TrainDrawing : public testing::Test {
protected:
    void SetUp() override {
        saved_ = {gSpeedFactor, gUnit4cm, gUnit4cmLess1, gHalfUnit20cm};
        gSpeedFactor = 1;
        gUnit4cm = 8;
        gUnit4cmLess1 = 7;
        gHalfUnit20cm = 12;
        clearTestTrains();
        // The back buffer: a diagram with one black line along y 300.
        back.Pen = vestrel::TPen{};
        back.MoveTo(0, 300);
        back.LineTo(640, 300);
        screen = back;
        gDiagramCanvas = &screen;
        gBackBuffer = &back;
        LayoutBuilder().block(1, {{20, 100}, {600, 100}});
    }
    void TearDown() override {
        clearTestTrains();
        LayoutBuilder();
        gDiagramCanvas = nullptr;
        gBackBuffer = nullptr;
        gSpeedFactor = saved_.speedFactor;
        gUnit4cm = saved_.unit4;
        gUnit4cmLess1 = saved_.unit4Less1;
        gHalfUnit20cm = saved_.half20;
    }
    // A locomotive at (x, y) travelling along +x (or -x), on block 1.
    static LocoRec* loco(int number, float x, float y, float dx = 1, char heading = 'H') {
        LocoRec* l = putLocoOnBlock(number, 1, 0, {static_cast<int32_t>(x), static_cast<int32_t>(y)}, true, heading);
        l->run.head.x = x;
        l->run.head.y = y;
        l->run.head.dx = dx;
        l->run.head.dy = 0;
        return l;
    }
    // A wagon of the locomotive's front chain from (x1, y1) to (x2, y2).
    static WagonRec* wagon(LocoRec* l, char kind, float x1, float y1, float x2, float y2) {
        WagonRec* w = coupleTestWagon(l, false, 20, kind);
        w->front.x = x1;
        w->front.y = y1;
        w->rear.x = x2;
        w->rear.y = y2;
        w->front.block = w->rear.block = blockNumbered(1);
        return w;
    }
    static int differingPixels(const Canvas& a, const Canvas& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
        return n;
    }
    // The pixels of the symbol's box around (x, y).
    static std::vector<TColor> symbolPixels(const Canvas& c, int x, int y) {
        std::vector<TColor> out;
        for (int j = y - 7; j < y + 8; ++j)
            for (int i = x - 7; i < x + 8; ++i) out.push_back(c.Pixel(i, j));
        return out;
    }

    Canvas back{640, 480, kSilver};
    Canvas screen;

private:
    struct Saved {
        float speedFactor;
        int8_t unit4, unit4Less1, half20;
    } saved_{};
};

TEST_F(TrainDrawing, TheLabelIsTheNumberBelowAHundredAndStartsLeftOfTheCentreByItsDigits) {
    screen = Canvas(640, 480, vestrel::clWhite);
    drawLocoSymbol(loco(123, 100, 100), 0);
    drawLocoSymbol(loco(23, 200, 100), 0);
    EXPECT_EQ(symbolPixels(screen, 100, 100), symbolPixels(screen, 200, 100));
    // On white the label's silver box shows where it starts: 5 pixels left of the centre for two
    // digits, 2 for one.
    drawLocoSymbol(loco(17, 100, 200), 0);
    drawLocoSymbol(loco(7, 200, 200), 0);
    EXPECT_EQ(screen.Pixel(100 - 6, 200), vestrel::clWhite);
    EXPECT_NE(screen.Pixel(100 - 5, 200), vestrel::clWhite);
    EXPECT_EQ(screen.Pixel(200 - 3, 200), vestrel::clWhite);
    EXPECT_NE(screen.Pixel(200 - 2, 200), vestrel::clWhite);
}

TEST_F(TrainDrawing, TheCircleShowsTheHeadingAndTheDotTheDirectionOfTravel) {
    struct Case {
        char heading;
        float dx;
        TColor circle;
        int dotX;  // the dot's centre: 6 pixels toward where the train travels
    } cases[] = {{'H', 1, 0xFF0000, 106}, {'T', -1, 0x0000FF, 94}};
    for (const Case& c : cases) {
        screen = back;
        drawLocoSymbol(loco(5, 100, 100, c.dx, c.heading), 0);
        EXPECT_EQ(screen.Pixel(100, 100 - 7), c.circle) << c.heading;  // the top of the circle
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(screen.Pixel(c.dotX + dx, 100 + dy), vestrel::clBlack);
        EXPECT_EQ(screen.Pixel(c.dotX + 2, 99), kSilver);
        clearTestTrains();
        LayoutBuilder().block(1, {{20, 100}, {600, 100}});
    }
}

TEST_F(TrainDrawing, WagonsTakeTheirKindsColourThreePixelsWide) {
    screen = Canvas(640, 480, vestrel::clWhite);  // not-XOR on white gives the pen's colour
    LocoRec* l = loco(5, 50, 100);
    const struct {
        char kind;
        TColor colour;
    } kinds[] = {{'G', 0x000080}, {'P', 0xFF0000}, {'S', 0x008000}, {'H', 0x008000}};
    int y = 150;
    for (const auto& k : kinds) {
        wagon(l, k.kind, 100, static_cast<float>(y), 140, static_cast<float>(y));
        y += 20;
    }
    drawTrain(l);
    y = 150;
    for (const auto& k : kinds) {
        for (int row = y - 1; row <= y + 1; ++row) EXPECT_EQ(screen.Pixel(120, row), k.colour) << k.kind;
        EXPECT_EQ(screen.Pixel(120, y - 2), vestrel::clWhite);
        EXPECT_EQ(screen.Pixel(120, y + 2), vestrel::clWhite);
        y += 20;
    }
    EXPECT_EQ(screen.Pen.Mode, vestrel::PenMode::Copy);
    EXPECT_EQ(screen.Pen.Width, 1);
}

TEST_F(TrainDrawing, DrawingTwiceLeavesTheWagonsInvisibleAndErasingLeavesTheBackground) {
    LocoRec* l = loco(5, 100, 300);
    wagon(l, 'G', 88, 300, 60, 300);
    wagon(l, 'P', 54, 300, 20, 300);
    drawTrain(l);
    EXPECT_NE(screen.Pixel(70, 300), back.Pixel(70, 300));
    drawTrain(l);
    for (int x = 20; x <= 88; ++x)
        for (int y = 298; y <= 302; ++y) EXPECT_EQ(screen.Pixel(x, y), back.Pixel(x, y)) << x << "," << y;
    drawTrain(l);
    eraseTrain(l);
    EXPECT_EQ(differingPixels(screen, back), 0);
}

TEST_F(TrainDrawing, AWagonReachingUnderItsOwnSymbolIsErasedWhole) {
    LocoRec* l = loco(5, 100, 300);
    wagon(l, 'G', 104, 300, 130, 300);  // on a bend the first wagon can come this near
    drawTrain(l);
    eraseTrain(l);
    EXPECT_EQ(differingPixels(screen, back), 0);
}

TEST_F(TrainDrawing, AMovedTrainPassingAStandingWagonLeavesItWhole) {
    // The standing train's wagon crosses the moving train's way upright at x 200.
    LocoRec* standing = loco(1, 200, 60);
    wagon(standing, 'G', 200, 80, 200, 120);
    LocoRec* moving = loco(2, 150, 100);
    WagonRec* w = wagon(moving, 'P', 138, 100, 110, 100);
    drawTrain(standing);
    drawTrain(moving);
    for (int step = 0; step < 40; ++step) {
        for (PositionRec* p : {&moving->run.head, &w->front, &w->rear}) p->x += 3;
        moving->run.runFlagsA |= 0x04;
        redrawAllTrains();
    }
    EXPECT_EQ(moving->run.runFlagsA & 0x04, 0);
    // As drawn afresh: the background, the standing train, the moving one where it stopped.
    Canvas expected = back;
    gDiagramCanvas = &expected;
    drawTrain(standing);
    drawTrain(moving);
    gDiagramCanvas = &screen;
    EXPECT_EQ(differingPixels(screen, expected), 0);
}

TEST_F(TrainDrawing, ALayerRedrawnUnderATrainKeepsTheTrainAndTheLooseWagons) {
    LocoRec* l = loco(5, 100, 300);
    wagon(l, 'G', 88, 300, 60, 300);
    blockNumbered(1)->flags = 2;  // layer 1
    l->run.head.block = blockNumbered(1);
    drawTrain(l);
    const Canvas drawn = screen;
    eraseTrainsOnLayer(1);
    EXPECT_EQ(differingPixels(screen, back), 0);
    // The layer's elements are drawn again over the same place (here: the line along y 300).
    for (Canvas* c : {&screen, &back}) {
        c->Pen = vestrel::TPen{};
        c->MoveTo(0, 300);
        c->LineTo(640, 300);
    }
    redrawErasedTrains();
    EXPECT_EQ(differingPixels(screen, drawn), 0);
}

}  // namespace
