// Control-post sessions on the real main window: start and stop of both kinds, the switch between them,
// the stop's refusals and questions, and what a stop clears.
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "layout/dialogs/untEerstePunt.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untWissel.h"
#include "layout/editor/turntable_operation.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/model/turntable_state.h"
#include "link/buffers/link_buffers.h"
#include "link/link_test_support.h"
#include "link/port/fake_command_station.h"
#include "link/port/link_port.h"
#include "network/model/net_state.h"
#include "operation/dialogs/untTijd.h"
#include "operation/engine/second_tick.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "steps/model/step_program.h"

namespace {

const char* const kWithoutTrackText =
    "De stuurpost is gestart zonder spoorbaansturing. De treinen kunnen overgaan naar een volgend blok zonder dat "
    "er terugmeldingen binnengelezen worden.";

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        linktest::commandStationSettings(false);  // COM1, which names no device
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        gLocoDataModified = 0;
    }
    void TearDown() override { linktest::closeLink(); }
    static void startWithout() { ASSERT_EQ(toggleControlPostSession(13), 1); }
    RunningProgram program;
};

// A command station on COM1.
class SessionWithLink : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        station.pty().setAsComPort(1);
    }
    vestrel::test::FakeCommandStation station{false};
};

TEST_F(Session, StartWithoutTrackControlNumbersTheTablesReadsTheTrainsAndSaysSo) {
    gSettings.edtLengteKorte = 120;
    gModelClock = {5, 6, 7};
    for (StepProgramRec* p : gStepPrograms) p->number = 9;
    mnuZonderSturingClick();
    EXPECT_EQ(gRunWithoutTrack, 1);
    EXPECT_EQ(gRunWithTrack, 0);
    EXPECT_EQ(gLocCount, 3);
    ASSERT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gLocsOnTrack[0]->number, 3);
    EXPECT_EQ(gStepPrograms[0]->number, 0);
    EXPECT_EQ(gShortTrainUnits, fromCentimetres(120));
    EXPECT_EQ(gModelClock.hours + gModelClock.minutes + gModelClock.seconds, 0);
    EXPECT_EQ(gEmergencyState, 0);
    EXPECT_EQ(lastDialogMessage(), kWithoutTrackText);
    EXPECT_TRUE(frmSchema->grpCmdpost->isVisible());
    EXPECT_FALSE(frmSchema->grpBestand->isVisible());
    EXPECT_EQ(frmSchema->mnuMetSturing->text().toStdString(), "Stoppen sessie");
}

TEST_F(Session, OrangeLightsMarkTheirBlockEndsAndASignalWithoutBlockMarksNothing) {
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .block(2, {{100, 200}, {200, 200}, {300, 200}})
        .signal(5, 1, 'H', {320, 90}).orange(3)
        .signal(6, 2, 'T', {90, 190}).orange(4)
        .signal(7, 0, 'H', {320, 190}).orange(5);
    blockNumbered(2)->orangeEnds = 1;  // cleared before the signals mark it
    writeSessionLocoFile("test.loc", {});
    startWithout();
    EXPECT_EQ(blockNumbered(1)->orangeEnds, 1);
    EXPECT_EQ(blockNumbered(2)->orangeEnds, 2);
}

TEST_F(Session, WithTrackControlTheLinkThatCannotOpenKeepsTheEditor) {
    mnuMetSturingClick();
    EXPECT_EQ(lastDialogMessage(), "Ingestelde COM-poort niet beschikbaar !");
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gLinkOpen, 0);
    EXPECT_EQ(gLocCount, 0);
}

TEST_F(Session, WithTrackControlTheSessionStartsStoppedWithOnlyTheStopCommandQueued) {
    const AccessoryEntry e{kCmdAccessoryGreen, 12, 2};
    ASSERT_TRUE(gAccessoryQueue.append(&e, 1));
    queueCommandByte(kCmdGo);
    ASSERT_EQ(toggleControlPostSession(12), 1);
    EXPECT_EQ(gRunWithTrack, 1);
    EXPECT_EQ(gEmergencyState, 8);
    // The unread commands are dropped (the queue restarts where a live reader cannot be hurt): what is
    // left to read is the stop command alone.
    const int r = gCommandQueue.readPos();
    EXPECT_EQ((gCommandQueue.writePos() - r + kCommandQueueSize) % kCommandQueueSize, 1);
    EXPECT_EQ(gCommandQueue.byteAt(r), kCmdStop);
    EXPECT_EQ(gAccessoryQueue.writePos(), 0);
    EXPECT_EQ(gAccessoryQueue.readPos(), 0);
}

TEST_F(SessionWithLink, F10OpensTheLinkAndStartsStoppedAndTheStopClosesIt) {
    mnuMetSturingClick();
    EXPECT_EQ(gLinkOpen, 1);
    EXPECT_EQ(gRunWithTrack, 1);
    // the link thread adds the power-off bit 0x10 once it has taken the stop
    EXPECT_EQ(gEmergencyState & ~0x10, 8);
    EXPECT_EQ(gLocsOnTrackCount, 2);
    mnuMetSturingClick();
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gLinkOpen, 0);
}

TEST_F(SessionWithLink, AStartThatEndsWithoutASessionClosesTheLinkItOpened) {
    gDirtyFlags = 1;
    mnuMetSturingClick();
    EXPECT_EQ(gLinkOpen, 1);  // waiting for the direction dialog
    ASSERT_TRUE(frmEerstePunt->isVisible());
    frmEerstePunt->btnAnnulerenClick();
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gLinkOpen, 0);

    mnuMetSturingClick();
    ASSERT_EQ(gLinkOpen, 1);
    whenModal([](QWidget* modal) { clickButton(modal, "btnNee"); });  // "Rode punten ... Verder gaan ?"
    frmEerstePunt->btnJaClick();
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gLinkOpen, 0);
}

TEST_F(Session, TheOtherKindSwitchesTheRunningSessionWithoutStoppingIt) {
    ASSERT_EQ(toggleControlPostSession(12), 1);
    EXPECT_EQ(toggleControlPostSession(13), 0);
    EXPECT_EQ(gRunWithTrack, 0);
    EXPECT_EQ(gRunWithoutTrack, 1);
    EXPECT_EQ(toggleControlPostSession(12), 0);
    EXPECT_EQ(gRunWithTrack, 1);
    EXPECT_EQ(gRunWithoutTrack, 0);
    EXPECT_EQ(gLocsOnTrackCount, 2);
}

TEST_F(Session, AMovingOrBrakingLocomotiveHoldsTheStopExceptOnAClient) {
    struct Case {
        int shown, current, netMode;
        int stops;
    } cases[] = {{5, 5, 0, 0}, {0, 3, 0, 0}, {0, 3, 40, 1}, {0, 0, 0, 1}};
    for (const Case& c : cases) {
        startWithout();
        gLocsOnTrack[1]->shownSpeed = static_cast<int16_t>(c.shown);
        gLocsOnTrack[1]->currentStep = static_cast<int16_t>(c.current);
        gNetMode = static_cast<uint8_t>(c.netMode);
        EXPECT_EQ(toggleControlPostSession(13), c.stops) << c.shown << " " << c.current << " " << c.netMode;
        EXPECT_EQ(sessionRunning(), c.stops == 0);
        if (sessionRunning()) {
            gLocsOnTrack[1]->shownSpeed = gLocsOnTrack[1]->currentStep = 0;
            ASSERT_EQ(toggleControlPostSession(13), 1);
        }
        gNetMode = 0;
    }
}

TEST_F(Session, AStopEmptiesTheTrainTablesAndEveryRunTimeState) {
    startWithout();
    BlockRec* b = gBlocks[0];
    b->state = 0x21;
    b->occupiedSections = 3;
    gTracks[0]->locoOnIt = 1;
    gTracks[0]->vehicleFlags = 0x10;
    gTurnouts[0]->runState = 0x20;
    gTurnouts[0]->vehicleFlags = 0x10;
    gTurnouts[0]->holder = gLocs[0];
    StepProgramRec* p = gStepPrograms[0];
    p->state = 2;
    p->currentStep = 4;
    p->waitLeft = 9;
    p->nextSecond = 1234;
    p->boundLoco = gLocs[1];
    gInputs[0]->state = 1;
    gInputs[0]->runState = 1;
    TurntableRec* t = gTurntables[0];
    t->currentPosition = 5;
    t->secondPosition = 7;
    t->currentAngle = t->bridgeAngle + 1.0f;
    turntableBridgeEnds(t, t->currentAngle, t->track);
    t->runState = 3;
    turntableStateFlags(*t) = 0x18;
    gFeedbackImage.setContact(12, true);
    gEmergencyState = 1;

    gEmergencyState = 0;
    ASSERT_EQ(toggleControlPostSession(13), 1);
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gLocCount, 0);
    EXPECT_EQ(gLocsOnTrackCount, 0);
    EXPECT_EQ(gWagonTotal, 0);
    EXPECT_EQ(gWagonCounts.loose + gWagonCounts.coupledEnd, 0);
    EXPECT_EQ(gHelperLocCount, 0);
    for (const BlockRec* blk : gBlocks) {
        EXPECT_EQ(blk->state & ~0x40, 0);
        EXPECT_EQ(blk->occupiedSections, 0);
        EXPECT_EQ(blk->arrivedTrain, nullptr);
        EXPECT_EQ(blk->assignedTrain, nullptr);
    }
    EXPECT_EQ(gTracks[0]->locoOnIt + gTracks[0]->vehicleFlags, 0);
    EXPECT_EQ(gTurnouts[0]->runState + gTurnouts[0]->vehicleFlags, 0);
    EXPECT_EQ(gTurnouts[0]->holder, nullptr);
    EXPECT_EQ(p->state + p->currentStep + p->waitLeft + p->nextSecond, 0);
    EXPECT_EQ(p->boundLoco, nullptr);
    EXPECT_EQ(gInputs[0]->state + gInputs[0]->runState, 0);
    EXPECT_EQ(t->currentPosition, 1);
    EXPECT_EQ(t->secondPosition, 1);
    EXPECT_EQ(t->currentAngle, t->bridgeAngle);
    TrackRec expected = *t->track;
    turntableBridgeEnds(t, t->bridgeAngle, &expected);
    EXPECT_EQ(t->track->points[0], expected.points[0]);
    EXPECT_EQ(t->track->points[1], expected.points[1]);
    EXPECT_EQ(t->runState + turntableStateFlags(*t), 0);
    EXPECT_EQ(gFeedbackImage.contactBit(12), 0);
    EXPECT_EQ(gLocoDataModified, 0);
    EXPECT_TRUE(frmSchema->grpBestand->isVisible());
    EXPECT_FALSE(frmSchema->grpCmdpost->isVisible());
}

TEST_F(Session, ASecondStartReadsTheEditedLocomotiveFileAfresh) {
    startWithout();
    ASSERT_EQ(toggleControlPostSession(13), 1);
    writeSessionLocoFile("test.loc", {{11, 200, 200, 2}});
    startWithout();
    ASSERT_EQ(gLocCount, 1);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    EXPECT_EQ(gLocsOnTrack[0]->number, 11);
    EXPECT_EQ(blockNumbered(2)->assignedTrain, gLocsOnTrack[0]);
    EXPECT_EQ(blockNumbered(1)->assignedTrain, nullptr);
}

TEST_F(Session, ChangedLocomotivesAreSavedBeforeTheStop) {
    startWithout();
    gLocoDataModified = 1;
    EXPECT_EQ(toggleControlPostSession(13), 0);
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    EXPECT_EQ(gEditMode, 13u);
    frmBestandOpslaan->btnJa->click();
    EXPECT_FALSE(sessionRunning());
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_FALSE(testsupport::readBytes("test.loc").empty());
}

TEST_F(Session, ALocomotiveFileThatCannotBeWrittenKeepsTheSession) {
    startWithout();
    gLocoDataModified = 1;
    gLocoFileName = "missing/test.loc";
    EXPECT_EQ(toggleControlPostSession(13), 0);
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    frmBestandOpslaan->btnJa->click();
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'missing/test.loc' niet openen !");
    EXPECT_TRUE(sessionRunning());
    EXPECT_EQ(gLocCount, 3);
    EXPECT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gLocoDataModified, 1);
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(Session, ADemoLayoutNeverAsksToSaveTheLocomotives) {
    startWithout();
    gLayoutFileName = "demo\\demo1.vtl";
    gLocoDataModified = 1;
    EXPECT_EQ(toggleControlPostSession(13), 1);
    EXPECT_FALSE(frmBestandOpslaan->isVisible());
}

TEST_F(Session, AChangedLayoutStartsFromTheDirectionDialogsJa) {
    gDirtyFlags = 1;
    EXPECT_EQ(toggleControlPostSession(13), 0);
    EXPECT_EQ(gEditMode, 13u);
    ASSERT_TRUE(frmEerstePunt->isVisible());
    EXPECT_FALSE(sessionRunning());
    whenModal([](QWidget* modal) { clickButton(modal, "btnJa"); });  // "Rode punten geven eindpunten aan."
    frmEerstePunt->btnJaClick();
    EXPECT_EQ(gRunWithoutTrack, 1);
    EXPECT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(Session, CloseAllDialogsKeepsTheElementDialogAskedForOrOpensTheNetworkSettings) {
    for (QWidget* w : std::initializer_list<QWidget*>{frmSektie, frmWissel, frmTijd, frmInstellingen}) w->show();
    closeAllDialogs(402);
    EXPECT_TRUE(frmSektie->isVisible());
    EXPECT_FALSE(frmWissel->isVisible());
    EXPECT_FALSE(frmTijd->isVisible());
    EXPECT_FALSE(frmInstellingen->isVisible());
    closeAllDialogs(1);
    EXPECT_FALSE(frmSektie->isVisible());
    EXPECT_TRUE(frmInstellingen->isVisible());
    closeAllDialogs(1);
    EXPECT_TRUE(frmInstellingen->isVisible());
}

}  // namespace
