// The decoder-activity marker drawn while an accessory decoder's output is on, and restored after.
#include <gtest/gtest.h>

#include "layout/draw/diagram_canvas.h"
#include "layout/model/layout_model.h"
#include "link/draw/decoder_marker.h"
#include "platform/canvas.h"

namespace {

using namespace vestrel;

class DecoderMarker : public testing::Test {
protected:
    void SetUp() override {
        gDiagramCanvas = &diagram;
        gBackBuffer = &back;
        diagram.Pen.Color = clRed;
        diagram.Brush.Style = BrushStyle::Clear;
    }
    void TearDown() override {
        gDiagramCanvas = nullptr;
        gBackBuffer = nullptr;
        for (auto& d : gAccessoryState) d = {};
    }
    Canvas diagram{60, 60, clWhite};
    Canvas back{60, 60, clSilver};
};

TEST_F(DecoderMarker, DrawnWhileTheOutputIsOnAndRestoredAfterItsSwitchOff) {
    // Address 6 is decoder 2, its outputs 3 and 4 (first output 0, span 1).
    uint8_t state = 0x02;
    gAccessoryState[2].lastOutput = 0x80 | 4;
    drawDecoderActivityMarker(6, 0, 1, 20, 30, state);
    EXPECT_EQ(state, 0x04);
    EXPECT_EQ(diagram.Pixel(16, 26), clRed);  // corners of the 9 x 9 square
    EXPECT_EQ(diagram.Pixel(24, 34), clRed);
    EXPECT_EQ(diagram.Pixel(20, 30), clWhite);
    drawDecoderActivityMarker(6, 0, 1, 20, 30, state);  // switch-off still pending
    EXPECT_EQ(state, 0x04);
    gAccessoryState[2].lastOutput = 4;
    drawDecoderActivityMarker(6, 0, 1, 20, 30, state);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(diagram.Pixel(16, 26), clSilver);
    EXPECT_EQ(diagram.Pixel(24, 34), clSilver);
}

TEST_F(DecoderMarker, OtherOutputsAndAddressesLeaveItAlone) {
    uint8_t state = 0x02;
    gAccessoryState[2].lastOutput = 0x80 | 2;  // an output of another element on the same decoder
    drawDecoderActivityMarker(6, 0, 1, 20, 30, state);
    EXPECT_EQ(state, 0x02);
    drawDecoderActivityMarker(2048, 0, 1, 20, 30, state);
    EXPECT_EQ(state, 0x02);
    EXPECT_EQ(diagram.Pixel(16, 26), clWhite);
}

}  // namespace
