// The per-second step on a stepped clock: the model clock and its time base, a late tick, block waits,
// blinking halted trains and forced-red signals, kilometre counters, the position check with its alarm
// marks, the clock record, the client watchdog and the FIFO recheck.
#include "engine_fixture.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/route_aspects.h"
#include "platform/canvas.h"

namespace {

class SecondTick : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gNetMode = 0;
        gTimeBase = 1;
        gModelClock = {};
        gScaleDigit = '5';  // 1:87
        clearRunningFifo();
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{400, 100}, {500, 100}, {600, 100}})
            .signal(5, 1, 'H', {320, 90})
            .connection(1, 2, 'H')
            .measureBlocks();
        for (BlockRec* b : gBlocks) b->totalLength = 200;
        train = putLocoOnBlock(3, 1, 1, {250, 100}, true, 'H');
        train->slot = 4;
        gSecondDue = static_cast<int32_t>(gMsTick);
    }
    void TearDown() override {
        gTimeBase = 1;
        gModelClock = {};
        gClientWatchdog = 0;
        gNetMode = 0;
        gDiagramCanvas = nullptr;
        clearRunningFifo();
        EngineTest::TearDown();
    }
    // One tick a second later (or ms later).
    void second(int ms = 1000) {
        gMsTick += ms;
        secondTick();
    }
    // The train leaves block 1 for block 2 in "Auto" at 130 km/h, its position check armed.
    void runTowardBlock2() {
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
        gSettings.chboPositiecontrole = 1;
        train->mode = kModeAuto;
        train->connection = gConnections[0];
        blockNumbered(2)->assignedTrain = train;
        train->speedValue = 130;
        train->targetStep = 20;
        train->run.runFlagsB = 0x01;
        train->run.distanceCounter = 0;
    }
    LocoRec* train = nullptr;
};

TEST_F(SecondTick, TheModelClockAdvancesByTheTimeBase) {
    struct Case {
        int timeBase;
        ModelClock from, to;
    };
    const Case cases[] = {
        {1, {9, 5, 7}, {9, 5, 8}},
        {60, {10, 0, 0}, {10, 1, 0}},    // a model minute per second
        {60, {23, 59, 30}, {0, 0, 30}},  // past midnight
        {1, {12, 59, 59}, {13, 0, 0}},
        {7, {0, 0, 55}, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        gTimeBase = static_cast<uint8_t>(c.timeBase);
        gModelClock = c.from;
        second();
        EXPECT_EQ(gModelClock.hours, c.to.hours);
        EXPECT_EQ(gModelClock.minutes, c.to.minutes);
        EXPECT_EQ(gModelClock.seconds, c.to.seconds);
    }
    gModelClock = {9, 5, 7};
    EXPECT_EQ(modelClockText(), " 9:05:07");
    gModelClock = {23, 0, 0};
    EXPECT_EQ(modelClockText(), "23:00:00");
}

TEST_F(SecondTick, ALateTickAdvancesOnceAndTheNextSecondIsDueASecondAfterIt) {
    gTimeBase = 60;
    gModelClock = {8, 0, 0};
    second(0);  // due now
    EXPECT_EQ(gModelClock.minutes, 1);
    second(999);
    EXPECT_EQ(gModelClock.minutes, 1);  // not yet
    const uint32_t late = gMsTick + 3500;
    second(3500);
    EXPECT_EQ(gModelClock.minutes, 2);  // once, however late
    EXPECT_EQ(gSecondDue, static_cast<int32_t>(late + 1000));
    second(999);
    EXPECT_EQ(gModelClock.minutes, 2);
    second(1);
    EXPECT_EQ(gModelClock.minutes, 3);
}

TEST_F(SecondTick, TheClockIsSentToTheClients) {
    gNetLinkState = 30;
    gTimeBase = 60;
    gModelClock = {23, 58, 30};
    second(0);
    // Kind 19, code 19, a = time base 60, b = hours 23, c = seconds x 256 + minutes = 30 x 256 + 59.
    const std::vector<Bytes> records = netRecordBytes();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (Bytes{19, 19, 60, 0, 23, 0, 0x3B, 0x1E}));
}

TEST_F(SecondTick, AHaltedTrainBlinksAndAStoppedOneDoesNot) {
    LocoRec* stopped = putLocoOnBlock(7, 2, 0, {450, 100}, true, 'H');
    train->run.runFlagsA |= 0x01;  // halted by the engine
    for (int s = 0; s < 4; ++s) {
        second();
        EXPECT_EQ(train->run.runFlagsB & 0x04, s % 2 == 0 ? 0x04 : 0);  // hidden, shown, ...
        EXPECT_EQ(stopped->run.runFlagsB & 0x04, 0);
    }
}

TEST_F(SecondTick, ForcedRedSignalsBlinkGreyAndRed) {
    vestrel::Canvas canvas{640, 480, kBackgroundColour};
    gDiagramCanvas = &canvas;
    signalNumbered(5)->aspect = 'S';
    const DiagramPoint lamp = signalNumbered(5)->outline[0];
    second();
    const vestrel::TColor first = canvas.Pixel(lamp.x + 1, lamp.y + 1);
    second();
    const vestrel::TColor next = canvas.Pixel(lamp.x + 1, lamp.y + 1);
    EXPECT_EQ(first == 0x808080 ? next : first, 0x0000FFu);
    EXPECT_EQ(first == 0x808080 ? first : next, 0x808080u);
    EXPECT_EQ(canvas.Pixel(lamp.x - 1, lamp.y - 1), 0xFFFFFFu);  // the highlight
    signalNumbered(5)->aspect = 'R';
    canvas.SetPixel(lamp.x + 1, lamp.y + 1, kBackgroundColour);
    second();
    EXPECT_EQ(canvas.Pixel(lamp.x + 1, lamp.y + 1), kBackgroundColour);  // only forced red blinks
}

TEST_F(SecondTick, KilometreCountersAddTheDistanceOfEachSecond) {
    train->speedValue = 36;  // 0.01 km a second
    train->run.kmTotal = 99.5f;
    train->run.kmHeadingH = 10;
    train->run.kmDay = 1.234f;
    second();
    EXPECT_FLOAT_EQ(train->run.kmTotal, 99.51f);
    EXPECT_FLOAT_EQ(train->run.kmHeadingH, 10.01f);
    EXPECT_FLOAT_EQ(train->run.kmDay, 1.244f);
    const LocoKmTexts texts = locoKmTexts(*train);
    EXPECT_EQ(texts.total, "100");
    EXPECT_EQ(texts.headingH, "10");
    EXPECT_EQ(texts.day, "1.24");
    // Heading 'T', and the shown speed while the speed value is 0; a helper locomotive counts too.
    train->heading = 'T';
    train->speedValue = 0;
    train->shownSpeed = 72;
    auto helper = std::make_unique<LocoRec>();
    helper->number = 40;
    helper->speedValue = 360;
    LocoRec* h = gLocs.append(std::move(helper));
    gHelperLocs.append(h);
    second();
    EXPECT_FLOAT_EQ(train->run.kmTotal, 99.53f);
    EXPECT_FLOAT_EQ(train->run.kmHeadingH, 10.01f);
    EXPECT_FLOAT_EQ(h->run.kmTotal, 0.1f);
}

TEST_F(SecondTick, AWaitRunsOutOnlyOnTheHeadsBlock) {
    BlockRec* b = blockNumbered(1);
    b->remainingWait = 2;
    second();
    EXPECT_EQ(b->remainingWait, 1);
    TrackRec track;
    train->run.head.track = &track;  // the head runs over a track: no head block, no wait
    second();
    EXPECT_EQ(b->remainingWait, 1);
    train->run.head.track = nullptr;
    second();
    EXPECT_EQ(b->remainingWait, 0);
    second();
    EXPECT_EQ(b->remainingWait, 0);
}

TEST_F(SecondTick, ThePositionCheckStopsATrainThatMissesTheNextBlockAndMarksBothBlocks) {
    runTowardBlock2();
    gNetLinkState = 30;
    second();  // trunc(130 / 3600 x 100000 / 87 + 0.5) = 42 cm
    EXPECT_EQ(train->run.distanceCounter, 42);
    EXPECT_EQ(train->run.runFlagsB & 0x03, 1);
    second();  // 84 cm: past 80 cm at 1:87
    EXPECT_EQ(train->run.runFlagsB & 0x03, 2);
    EXPECT_EQ(train->targetStep, 0);
    gNetOutFill = 0;
    markAlarmSections();
    EXPECT_EQ(blockNumbered(1)->state & 0x04, 0x04);
    EXPECT_EQ(blockNumbered(2)->state & 0x04, 0x04);
    // Kind 5, code 44, block number, block index, state: block 1, then the other block of the connection.
    const std::vector<Bytes> records = netRecordBytes();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (Bytes{5, 44, 1, 0, 0, 0, 0x04, 0}));
    EXPECT_EQ(records[1], (Bytes{5, 44, 2, 0, 1, 0, 0x04, 0}));
    gNetOutFill = 0;
    markAlarmSections();
    EXPECT_EQ(gNetOutFill, 0);  // marked once
    // The alarm ends with the train's position check.
    train->run.runFlagsB &= static_cast<uint8_t>(~0x03);
    markAlarmSections();
    EXPECT_EQ(blockNumbered(1)->state & 0x04, 0);
    EXPECT_EQ(blockNumbered(2)->state & 0x04, 0);
    EXPECT_EQ(netRecordCount(5, 44), 2);
}

TEST_F(SecondTick, ThePositionCheckIsLeftOffOrCleared) {
    struct Case {
        const char* what;
        void (*set)(LocoRec* t);
        int state;
    };
    const Case cases[] = {
        {"setting off", [](LocoRec*) { gSettings.chboPositiecontrole = 0; }, 1},
        {"without track control",
         [](LocoRec*) {
             gRunWithTrack = 0;
             gRunWithoutTrack = 1;
         },
         1},
        {"\"Rangeer\"", [](LocoRec* t) { t->mode = kModeShunting; }, 0},
        {"backward", [](LocoRec* t) { t->direction = 'a'; }, 0},
        {"no connection", [](LocoRec* t) { t->connection = nullptr; }, 0},
        {"arrived", [](LocoRec* t) { blockNumbered(2)->arrivedTrain = t; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        runTowardBlock2();
        train->direction = 'v';
        blockNumbered(2)->arrivedTrain = nullptr;
        c.set(train);
        second();
        second();
        second();
        EXPECT_EQ(train->run.runFlagsB & 0x03, c.state);
        EXPECT_EQ(train->targetStep, 20);
    }
}

TEST_F(SecondTick, TheDistanceCounterStopsAtItsTopInsteadOfWrapping) {
    gScaleDigit = '1';  // 1:22.5: 160 cm a second at 130 km/h, 80 cm at 1:87 is 309 cm here
    runTowardBlock2();
    second();
    EXPECT_EQ(train->run.distanceCounter, 160);
    EXPECT_EQ(train->run.runFlagsB & 0x03, 1);
    second();  // 320 cm would wrap to 64 and never reach 240
    EXPECT_EQ(train->run.distanceCounter, 255);
    EXPECT_EQ(train->run.runFlagsB & 0x03, 2);
}

TEST_F(SecondTick, AHaltedTrainWithoutConnectionMarksOnlyItsOwnBlock) {
    gNetLinkState = 30;
    train->run.runFlagsA |= 0x01;
    blockNumbered(2)->assignedTrain = nullptr;
    markAlarmSections();
    EXPECT_EQ(blockNumbered(1)->state & 0x04, 0x04);
    EXPECT_EQ(blockNumbered(2)->state & 0x04, 0);
    EXPECT_EQ(netRecordBytes(), (std::vector<Bytes>{{5, 44, 1, 0, 0, 0, 0x04, 0}}));
    // A client leaves the marks to the server.
    gNetMode = 40;
    train->run.runFlagsA = 0;
    markAlarmSections();
    EXPECT_EQ(blockNumbered(1)->state & 0x04, 0x04);
}

TEST_F(SecondTick, TheClientWatchdogClosesAfterSixSilentSeconds) {
    gNetLinkState = 40;
    gClientWatchdog = 4;
    second();
    EXPECT_EQ(gClientWatchdog, 5);
    second();
    EXPECT_EQ(gClientWatchdog, 6);
    second();
    EXPECT_EQ(gClientWatchdog, 6);
    gNetLinkState = 0;
    gClientWatchdog = 0;
    second();
    EXPECT_EQ(gClientWatchdog, 0);  // only a synchronised client counts
}

TEST_F(SecondTick, TheFifoIsLookedAtAgainWhenTheRecheckCountdownRunsOut) {
    // Train 3 waits in the FIFO for block 2, which train 7 holds; once that is given up and the
    // countdown runs out, train 3 goes.
    LocoRec* other = putLocoOnBlock(7, 2, 0, {450, 100}, true, 'H');
    ASSERT_EQ(blockNumbered(2)->assignedTrain, other);
    train->mode = kModeAuto;
    train->kind = 1;
    train->trainLength = 20;
    blockNumbered(1)->speed = 60;
    ASSERT_EQ(reevaluateTrain(train), 'R');
    ASSERT_EQ(runningFifoCount(), 1);
    blockNumbered(2)->assignedTrain = nullptr;
    gFifoRecheckCountdown = 2;
    second();
    EXPECT_EQ(gFifoRecheckCountdown, 1);
    EXPECT_EQ(runningFifoCount(), 1);
    second();
    EXPECT_EQ(gFifoRecheckCountdown, 0);
    EXPECT_EQ(runningFifoCount(), 0);
    EXPECT_EQ(train->connection, gConnections[0]);
    EXPECT_NE(train->targetStep, 0);
}

}  // namespace
