// The current step written into a program's box: yellow while running, magenta while paused, in a
// fixed-pitch font on the box's second line.
#include <gtest/gtest.h>

#include "layout/draw_test_support.h"
#include "layout/layout_builder.h"
#include "steps/draw/step_number.h"
#include "steps/model/step_program.h"

namespace {

class StepNumber : public drawtest::DiagramCanvasTest {
protected:
    void SetUp() override {
        DiagramCanvasTest::SetUp();
        LayoutBuilder().stepProgram("p", {{"geen", 0, "geen", 0}}, {100, 200});
        gStepPrograms[0]->currentStep = 7;
    }
    StepProgramRec& p() { return *gStepPrograms[0]; }
};

TEST_F(StepNumber, RunningIsYellowAndPausedMagentaRightOfTheBoxOnItsSecondLine) {
    const struct {
        int state;
        uint32_t colour;
    } rows[] = {{1, kYellowColour}, {2, kMagentaColour}};
    for (const auto& r : rows) {
        canvas.resize(640, 480, kBackgroundColour);
        p().state = static_cast<uint8_t>(r.state);
        drawStepNumber(&p());
        EXPECT_GT(drawtest::countColour(canvas, 124, 212, 130, 220, r.colour), 20) << r.state;
        EXPECT_GT(drawtest::countColour(canvas, 124, 212, 160, 226, kBlackColour), 3) << r.state;
        EXPECT_EQ(drawtest::countDrawn(canvas) - drawtest::countColour(canvas, 124, 212, 170, 230, r.colour) -
                      drawtest::countColour(canvas, 124, 212, 170, 230, kBlackColour),
                  0)
            << "nothing outside the number's place";
        EXPECT_EQ(canvas.Pixel(123, 215), kBackgroundColour);
        EXPECT_EQ(canvas.Pixel(130, 211), kBackgroundColour);
    }
}

TEST_F(StepNumber, AStoppedProgramShowsNoNumber) {
    p().state = 0;
    drawStepNumber(&p());
    EXPECT_EQ(drawtest::countDrawn(canvas), 0);
}

TEST_F(StepNumber, TheFontIsFixedPitch) {
    // "%3d" keeps one-digit and three-digit steps equally wide.
    p().state = 1;
    p().currentStep = 1;
    drawStepNumber(&p());
    const int narrow = drawtest::countColour(canvas, 0, 0, 639, 479, kYellowColour) +
                       drawtest::countColour(canvas, 0, 0, 639, 479, kBlackColour);
    canvas.resize(640, 480, kBackgroundColour);
    p().currentStep = 188;
    drawStepNumber(&p());
    const int wide = drawtest::countColour(canvas, 0, 0, 639, 479, kYellowColour) +
                     drawtest::countColour(canvas, 0, 0, 639, 479, kBlackColour);
    EXPECT_EQ(narrow, wide);
}

}  // namespace
