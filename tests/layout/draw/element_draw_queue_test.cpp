// What drawing an element hands to the network queue (and what it must not).
#include <gtest/gtest.h>

#include <vector>

#include "layout/draw_test_support.h"
#include "layout/draw/element_draw.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "shell/model/app_state.h"
#include "layout/small_layout.h"
#include "steps/model/step_program.h"

namespace {

std::vector<uint8_t> queued() { return {gNetOutBuffer, gNetOutBuffer + gNetOutFill}; }

// kind, code, then int16 values, little-endian.
std::vector<uint8_t> record(int kind, int code, std::initializer_list<int> values) {
    std::vector<uint8_t> r = {static_cast<uint8_t>(kind), static_cast<uint8_t>(code)};
    for (int v : values) {
        r.push_back(static_cast<uint8_t>(v & 0xFF));
        r.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return r;
}

class DrawingQueues : public drawtest::DiagramCanvasTest {
protected:
    void SetUp() override {
        DiagramCanvasTest::SetUp();
        smalllayout::buildEveryKind();
        gNetLinkState = 30;  // a client listens
        gRunWithoutTrack = 1;
    }
};

TEST_F(DrawingQueues, TurnoutQueuesItsStateWithTheHolder) {
    gRunWithoutTrack = 0;  // no control post: accessory commands are refused
    TurnoutRec& t = *gTurnouts[1];
    t.runState = 0x01;
    drawTurnout(t, 0, 0);
    EXPECT_EQ(queued(), record(6, 44, {12, 1, 'G', 0}));  // number, index, position, no holder
    EXPECT_EQ(t.runState & 0x01, 0);
    EXPECT_EQ(t.runState & 0x04, 0);  // no control post: the command was not queued
}

TEST_F(DrawingQueues, ManualTurnoutMarksItsPosition) {
    TurnoutRec& t = *gTurnouts[0];
    t.options = 2;
    t.position = 'R';
    drawTurnout(t, 0, 2);  // draw only: still the network record
    EXPECT_EQ(queued(), record(6, 44, {11, 0, 0xFF00 + 'R', 0}));
}

TEST_F(DrawingQueues, CrossingQueuesNothing) {
    drawTurnout(*gTurnouts[3], 0, 0);
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(DrawingQueues, DoubleTurnoutHalfIsMarkedInsteadOfSwitched) {
    TurnoutRec& t = *gTurnouts[0];
    t.partner = 2;
    drawTurnout(t, 0, 0);
    EXPECT_EQ(t.runState & 0x80, 0x80);
    EXPECT_EQ(t.runState & 0x04, 0);
    drawTurnout(t, 0, 2);
    EXPECT_EQ(gNetOutFill, 20);  // the network record both times
}

TEST_F(DrawingQueues, NearlyFullBufferTakesNoTurnoutRecord) {
    gNetOutFill = 1990;
    drawTurnout(*gTurnouts[0], 0, 0);
    EXPECT_EQ(gNetOutFill, 1990);
    gNetOutFill = 1989;
    drawTurnout(*gTurnouts[0], 0, 0);
    EXPECT_EQ(gNetOutFill, 1999);  // record and holder value both fit
}

TEST_F(DrawingQueues, SignalWithoutQueuedCommandQueuesNoRecord) {
    gRunWithoutTrack = 0;  // no control post: accessory commands are refused
    SignalRec& s = *gSignals[0];
    s.runState = 0x05;
    drawSignal(s, 0, 0);
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_EQ(s.runState, 0x04);  // bit 0 cleared; bit 2 untouched
}

TEST_F(DrawingQueues, OutputInputAndStepBoxQueueTheirState) {
    OutputRec& o = *gOutputs[0];
    o.state = 'G';
    drawOutput(o, 0, 0);
    InputRec& i = *gInputs[0];
    i.state = 1;
    drawInput(i, 0, 0);
    StepProgramRec p;
    p.number = 4;
    p.state = 2;
    p.box = {10, 10, 60, 36};
    drawStepBox(p, 0, 0);
    std::vector<uint8_t> expected = record(8, 44, {31, 0, 'G'});
    for (uint8_t b : record(9, 44, {41, 0, 1})) expected.push_back(b);
    for (uint8_t b : record(14, 44, {44, 4, 2})) expected.push_back(b);
    EXPECT_EQ(queued(), expected);
}

TEST_F(DrawingQueues, RepaintAfterScrollingQueuesNothing) {
    gRedrawCountdown = 3;
    for (TurnoutRec* t : gTurnouts) drawTurnout(*t, 0, 0);
    for (SignalRec* s : gSignals) drawSignal(*s, 0, 0);
    for (OutputRec* o : gOutputs) drawOutput(*o, 0, 0);
    for (InputRec* i : gInputs) drawInput(*i, 0, 0);
    StepProgramRec p;
    drawStepBox(p, 0, 0);
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_GT(drawtest::countDrawn(canvas), 50);  // but everything is drawn
}

TEST_F(DrawingQueues, StandAloneQueuesNothing) {
    gNetLinkState = 0;
    drawTurnout(*gTurnouts[0], 0, 0);
    drawOutput(*gOutputs[0], 0, 0);
    EXPECT_EQ(gNetOutFill, 0);
}

}  // namespace
