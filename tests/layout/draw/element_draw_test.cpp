// Pixels of the element drawing: colours, shadows, joints, numbers, section marks and the hidden-layer fade.
#include <gtest/gtest.h>

#include "layout/draw_test_support.h"
#include "layout/model/display_settings.h"
#include "layout/draw/element_draw.h"
#include "shell/model/app_state.h"
#include "layout/small_layout.h"
#include "steps/model/step_program.h"
#include "test_support.h"

namespace {

using drawtest::countColour;
using drawtest::countDrawn;

class ElementDrawing : public drawtest::DiagramCanvasTest {
protected:
    void SetUp() override {
        DiagramCanvasTest::SetUp();
        smalllayout::buildEveryKind();
        box.name = "program 01";
        box.box = {400, 20, 480, 46};
        box.state = 1;
        box.currentStep = 3;
    }
    void drawEverything() {
        drawStepBox(box, 0, 0);
        for (TrackRec* t : gTracks) drawTrack(*t, 0, 0);
        for (BlockRec* b : gBlocks) drawBlock(*b, 0, 0);
        for (TurnoutRec* t : gTurnouts) drawTurnout(*t, 0, 0);
        for (SignalRec* s : gSignals) drawSignal(*s, 0, 0);
        for (OutputRec* o : gOutputs) drawOutput(*o, 0, 0);
        for (InputRec* i : gInputs) drawInput(*i, 0, 0);
        for (TurntableRec* t : gTurntables) drawTurntable(*t, 0, 0);
    }
    StepProgramRec box;
};

TEST_F(ElementDrawing, EveryKindInItsColours) {
    gShowNumbers = 1;
    gShowSections = 1;
    gVisibleLayers = 6;  // layer 1 hidden: the second track and nothing else sits on it
    gInputs[0]->state = 1;
    gTurnouts[1]->position = 'R';
    gTurntables[0]->positionOfConnection[3] = 4;  // the position at 45 degrees
    drawEverything();
    canvas.savePng(testsupport::artefactPath("element_drawing.png"));

    // Track: white line, grey shadow one pixel down and right, black joints; its end pixel is left out.
    EXPECT_EQ(canvas.Pixel(70, 60), kWhiteColour);
    EXPECT_EQ(canvas.Pixel(71, 61), kShadowColour);
    EXPECT_EQ(canvas.Pixel(40, 60), kBlackColour);
    EXPECT_EQ(canvas.Pixel(100, 60), kBlackColour);
    EXPECT_EQ(canvas.Pixel(140, 100), kShadowColour);
    EXPECT_EQ(canvas.Pixel(141, 101), kBackgroundColour);
    // The track on the hidden layer is faded, its shadow too.
    EXPECT_EQ(canvas.Pixel(330, 60), diagramRgb(176, 176, 176));
    EXPECT_EQ(canvas.Pixel(331, 61), diagramRgb(144, 144, 144));
    // Blocks: 'H' cyan; a reversing loop light orange.
    EXPECT_EQ(canvas.Pixel(80, 200), kCyanColour);
    EXPECT_EQ(canvas.Pixel(81, 201), kShadowColour);
    EXPECT_EQ(canvas.Pixel(310, 300), kLightOrangeColour);
    // Turnouts outside a session: the set leg green or red, the other grey; a crossing white.
    EXPECT_EQ(canvas.Pixel(220, 100), kGreenColour);
    EXPECT_GT(countColour(canvas, 201, 92, 229, 99, kShadowColour), 20);
    EXPECT_GT(countColour(canvas, 200, 120, 232, 150, kRedColour), 10);  // the 'R' turnout at 45 degrees
    EXPECT_EQ(canvas.Pixel(400, 165), kWhiteColour);                    // the crossing at -90
    // Signal: green lamp with its white highlight, white post.
    EXPECT_EQ(canvas.Pixel(222, 236), kGreenColour);
    EXPECT_EQ(canvas.Pixel(221, 235), kWhiteColour);
    EXPECT_EQ(canvas.Pixel(226, 236), kWhiteColour);
    // Output (a green button not operated): dark green ring on the background.
    EXPECT_GT(countColour(canvas, 114, 294, 126, 306, kDarkGreenColour), 8);
    EXPECT_EQ(canvas.Pixel(120, 300), kBackgroundColour);
    // Input with a reporting contact: yellow inside a black ring.
    EXPECT_EQ(canvas.Pixel(150, 320), kYellowColour);
    EXPECT_GT(countColour(canvas, 144, 314, 156, 326, kBlackColour), 8);
    // Turntable: black track ends on the ring and the bridge in not-XOR black over the background.
    EXPECT_EQ(canvas.Pixel(470, 380), diagramRgb(63, 63, 63));
    EXPECT_EQ(countColour(canvas, 516, 406, 520, 410, kBlackColour), 9);  // a connected end: pixel and square
    EXPECT_EQ(canvas.Pixel(490, 340), kBlackColour);                       // an end of position 7 (no square)
    EXPECT_EQ(canvas.Pixel(491, 341), kBackgroundColour);
    // Step box running: yellow.
    EXPECT_EQ(canvas.Pixel(479, 45), kYellowColour);
    // Section marks: grey circles at the block's first point and at the change of kind.
    EXPECT_GT(countColour(canvas, 37, 197, 45, 205, kShadowColour), 4);
    // Numbers are black text near the elements.
    EXPECT_GT(countColour(canvas, 205, 90, 225, 110, kBlackColour), 6);
}

TEST_F(ElementDrawing, WithoutNumbersNoTextAnywhere) {
    gShowNumbers = 0;
    gTurntables[0]->positionOfConnection[1] = 2;
    gTurntables[0]->positionOfConnection[2] = 3;
    drawEverything();
    gShowNumbers = 1;
    vestrel::Canvas numbered(640, 480, kBackgroundColour);
    gDiagramCanvas = &numbered;
    drawEverything();
    // Only the numbers differ between the two pictures; each number's box was plain before.
    EXPECT_GT(countColour(numbered, 205, 90, 225, 110, kBlackColour), countColour(canvas, 205, 90, 225, 110, kBlackColour));
    EXPECT_EQ(countColour(canvas, 205, 92, 225, 98, kBlackColour), 0);  // beside the 'l' turnout's centre
}

TEST_F(ElementDrawing, TurntableNumbersNeedAnArcAboveSeven) {
    gShowNumbers = 1;
    TurntableRec& t = *gTurntables[0];  // radius 40, 12 positions: arc truncate(10.47) = 10
    t.positionOfConnection[3] = 4;
    drawTurntable(t, 0, 0);
    // The label of position 3 stands at its label offset (-24, -24) from the centre (490, 380).
    EXPECT_GT(countColour(canvas, 464, 351, 470, 363, kBlackColour), 3);
    canvas.resize(640, 480, kBackgroundColour);
    t.radius = 29.9f;  // the same ring ends, but an arc of truncate(7.83) = 7
    drawTurntable(t, 0, 0);
    EXPECT_EQ(countColour(canvas, 464, 351, 470, 363, kBlackColour), 0);
}

TEST_F(ElementDrawing, BridgeDrawnTwiceDisappears) {
    TurntableRec& t = *gTurntables[0];
    drawTurntable(t, 2, 0);
    EXPECT_EQ(canvas.Pixel(470, 380), diagramRgb(63, 63, 63));
    drawTurntable(t, 2, 0);
    EXPECT_EQ(countDrawn(canvas), 0);
    // With the back buffer being the same canvas the bridge is drawn once, not twice.
    gBackBuffer = &canvas;
    drawTurntable(t, 2, 1);
    EXPECT_EQ(canvas.Pixel(470, 380), diagramRgb(63, 63, 63));
    gBackBuffer = nullptr;
}

TEST_F(ElementDrawing, BackBufferGetsTheSameElement) {
    vestrel::Canvas back(640, 480, kBackgroundColour);
    gBackBuffer = &back;
    drawTrack(*gTracks[0], 0, 1);
    drawTurnout(*gTurnouts[0], 0, 1);
    drawSignal(*gSignals[0], 0, 0);  // mode 0: the diagram only
    EXPECT_EQ(back.Pixel(70, 60), kWhiteColour);
    EXPECT_EQ(back.Pixel(220, 100), kGreenColour);
    EXPECT_EQ(back.Pixel(222, 236), kBackgroundColour);
    EXPECT_EQ(canvas.Pixel(222, 236), kGreenColour);
    gBackBuffer = nullptr;
}

TEST_F(ElementDrawing, ErasingLeavesTheBackground) {
    gShowNumbers = 1;
    for (TrackRec* t : gTracks) drawTrack(*t, 0, 0);
    for (BlockRec* b : gBlocks) drawBlock(*b, 0, 0);
    drawSignal(*gSignals[0], 0, 0);
    drawInput(*gInputs[0], 0, 0);
    drawOutput(*gOutputs[0], 0, 0);
    ASSERT_GT(countDrawn(canvas), 100);
    for (TrackRec* t : gTracks) drawTrack(*t, 1, 0);
    for (BlockRec* b : gBlocks) drawBlock(*b, 1, 0);
    drawSignal(*gSignals[0], 1, 0);
    drawInput(*gInputs[0], 1, 0);
    drawOutput(*gOutputs[0], 1, 0);
    EXPECT_EQ(countDrawn(canvas), 0);
}

TEST_F(ElementDrawing, SessionColoursOfTurnoutsAndBlocks) {
    gRunWithoutTrack = 1;
    gShowBlockFeedback = 1;
    gShowConnections = 1;
    BlockRec& b = *gBlocks[0];
    b.occupiedSections = 0x2;  // section 2 reports occupied
    b.state = 0x04;            // alarm: red shadow
    drawBlock(b, 0, 0);
    EXPECT_EQ(canvas.Pixel(70, 200), kCyanColour);
    EXPECT_EQ(canvas.Pixel(130, 200), kMaroonColour);
    EXPECT_EQ(canvas.Pixel(131, 201), kRedColour);
    // During a session the inactive leg is grey 176; a manual turnout's black.
    TurnoutRec& t = *gTurnouts[0];
    drawTurnout(t, 0, 0);
    EXPECT_GT(countColour(canvas, 201, 92, 229, 99, kGrey176Colour), 20);
    t.options = 2;
    drawTurnout(t, 0, 0);
    EXPECT_GT(countColour(canvas, 201, 92, 229, 99, kBlackColour), 20);
}

TEST_F(ElementDrawing, IncompleteBlockShowsUnreportedSectionsInYellow) {
    BlockRec& b = *gBlocks[0];
    b.state = 0x40;
    b.sectionKinds[1] = 2;  // a station section without a contact
    b.sectionInputs[1] = 5;
    b.sectionInputs[3] = 6;
    drawBlock(b, 0, 0);
    EXPECT_EQ(canvas.Pixel(70, 200), kCyanColour);
    EXPECT_EQ(canvas.Pixel(130, 200), kYellowColour);
}

TEST_F(ElementDrawing, SectionMarkAtTheEndOfAFifteenSectionBlock) {
    gShowSections = 1;
    gBlocks.clear();
    BlockRec& b = *smalllayout::addBlock({{20, 400}, {50, 400}, {80, 400}, {110, 400}, {140, 400}, {170, 400},
                                          {200, 400}, {230, 400}, {260, 400}, {290, 400}, {320, 400}, {350, 400},
                                          {380, 400}, {410, 400}, {440, 400}, {470, 400}},
                                         9);
    ASSERT_EQ(b.sections, 15);
    b.padding1[0] = 6;  // what lies after the last kind must not count as a kind
    drawBlockSectionMarks(b, 0, 0);
    EXPECT_GT(countColour(canvas, 467, 397, 475, 405, kShadowColour), 4);  // the end point
    EXPECT_GT(countColour(canvas, 47, 397, 55, 405, kShadowColour), 4);    // kind 1 to 0
    EXPECT_EQ(countColour(canvas, 77, 397, 85, 405, kShadowColour), 0);    // no change of kind
}

TEST_F(ElementDrawing, StepBoxNameIsCutToTheBox) {
    box.state = 0;  // white text on grey
    box.name = "a very long program name";
    box.box = {100, 100, 140, 126};
    drawStepBox(box, 0, 0);
    EXPECT_EQ(canvas.Pixel(139, 125), kShadowColour);
    EXPECT_GT(countColour(canvas, 100, 100, 139, 111, kWhiteColour), 5);
    EXPECT_EQ(countColour(canvas, 140, 95, 300, 130, kWhiteColour), 0);  // nothing beyond the box
}

TEST_F(ElementDrawing, LampSquareShape) {
    drawLampSquare(50, 50, 3, kRedColour, 1, canvas);
    EXPECT_EQ(countColour(canvas, 40, 40, 60, 60, kRedColour) + countColour(canvas, 40, 40, 60, 60, kWhiteColour), 37);
    EXPECT_EQ(canvas.Pixel(47, 47), kBackgroundColour);  // rounded corners
    EXPECT_EQ(canvas.Pixel(48, 48), kRedColour);
    EXPECT_EQ(canvas.Pixel(49, 48), kWhiteColour);
    EXPECT_EQ(canvas.Pixel(53, 50), kRedColour);
    EXPECT_EQ(canvas.Pixel(54, 50), kBackgroundColour);
}

}  // namespace
