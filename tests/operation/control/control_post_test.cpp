// The control-post dispatcher on the real main window: keys, clicks on the diagram, post buttons and
// menu commands during a session without track control, with two trains on their blocks.
#include <gtest/gtest.h>

#include <QCursor>
#include <QTimer>

#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "link/dialogs/untProg.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTijd.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/virtual_keys.h"
#include "shell/config/messages.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/input_routing.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/model/step_program.h"

namespace {

using vestrel::kAltBit;
using vestrel::kCtrlBit;

class ControlPost : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        ASSERT_EQ(gSnapTolerance, 4);
    }
    static void key(int vk, int modifiers = 0) {
        routeKeyDown(vk, modifiers);
        routeKeyUp();
    }
    static void click(int x, int y, int button = 1, int modifiers = 0) { routeMouseUp(x, y, button, true, modifiers); }
    static LocoRec* loco3() { return gLocsOnTrack[0]; }
    RunningProgram program;
};

TEST_F(ControlPost, DuringAnEmergencyStopEveryCommandIsIgnoredEvenEsc) {
    promptClickMode("prompt", kPostRemoveVehicle);
    gEmergencyState = 1;
    key(vestrel::VK_ESCAPE);
    key('L');
    controlPostCommand(1045, 0);
    EXPECT_EQ(gEditMode, kPostRemoveVehicle);
    EXPECT_EQ(loco3()->running, 0);
    EXPECT_FALSE(frmLoks->isVisible());
}

TEST_F(ControlPost, ArrowsSelectTheRowsAndWrapAround) {
    gActiveRow = 0;
    key(vestrel::VK_LEFT);
    EXPECT_EQ(gActiveRow, 1);
    key(vestrel::VK_LEFT);
    EXPECT_EQ(gActiveRow, 0);
    key(vestrel::VK_RIGHT);
    EXPECT_EQ(gActiveRow, 1);
    key(vestrel::VK_RIGHT);
    EXPECT_EQ(gActiveRow, 0);
    EXPECT_EQ(gPreviousRow, 0);
}

TEST_F(ControlPost, PostButtonsAndKeysActOnTheirRow) {
    routeControlPostCommand(301, 1);
    EXPECT_EQ(gActiveRow, 1);
    EXPECT_EQ(gLocsOnTrack[1]->running, 1);
    key('L');
    EXPECT_EQ(gLocsOnTrack[1]->running, 0);
    key('X');
    EXPECT_TRUE(frmTijd->isVisible());
}

TEST_F(ControlPost, AnEmptyRowDoesNothing) {
    for (int code : {301, 302, 303, 1048, int('l'), int('m'), int('r'), 38, 40, int('+'), int('-'), 13}) {
        routeControlPostCommand(code, 5);
        EXPECT_EQ(gActiveRow, 5);
    }
    for (const LocoRec* l : gLocs) EXPECT_EQ(l->running, 0);
}

TEST_F(ControlPost, CtrlOneTogglesLayerOneAndNothingElse) {
    gVisibleLayers = 7;
    key('1', kCtrlBit);
    EXPECT_EQ(gVisibleLayers, 6);
    key('1', kCtrlBit);
    EXPECT_EQ(gVisibleLayers, 7);
    key('1');
    EXPECT_EQ(gVisibleLayers, 7);
}

TEST_F(ControlPost, WithCtrlOrAltOnlyTheSpeedKeysActButMenusStillRun) {
    for (int m : {kCtrlBit, kAltBit}) {
        key('L', m);
        key('X', m);
        gShiftState = m;
        routeControlPostCommand(301, 0);
        gShiftState = 0;
        click(200, 100, 2, m);  // block 1
    }
    EXPECT_EQ(loco3()->running, 0);
    EXPECT_FALSE(frmTijd->isVisible());
    EXPECT_FALSE(frmSektie->isVisible());
    gShiftState = kCtrlBit;
    routeControlPostCommand(1045, 0);
    EXPECT_TRUE(frmLoks->isVisible());
    gShiftState = 0;
    click(200, 100, 2);
    EXPECT_TRUE(frmSektie->isVisible());
}

TEST_F(ControlPost, RightClicksOpenTheDialogOfWhatWasHit) {
    struct Case {
        int x, y;
        QWidget* form;
    } cases[] = {{250, 100, frmSektie},  {420, 100, frmWissel},     {320, 90, frmSein},  {500, 200, frmUitgang},
                 {500, 300, frmIngang},  {620, 110, frmStappen},    {250, 400, frmDraaischijf},
                 {150, 100, frmTrein}};
    for (const Case& c : cases) {
        click(c.x, c.y, 2);
        EXPECT_TRUE(c.form->isVisible()) << c.x << "," << c.y;
        c.form->close();
    }
    EXPECT_EQ(gSelectedBlock, blockNumbered(1));
    EXPECT_EQ(gSelectedSection, 1);
    EXPECT_EQ(gSelectedTurnout, turnoutNumbered(1));
    EXPECT_EQ(gSelectedSignal, signalNumbered(5));
    EXPECT_EQ(gSelectedOutput, gOutputs[0]);
    EXPECT_EQ(gSelectedInput, gInputs[0]);
    EXPECT_EQ(gCurStepBox, gStepPrograms[0]);
    EXPECT_EQ(gSelectedTurntable, gTurntables[0]);
    EXPECT_EQ(gCurTrain, loco3());
    EXPECT_EQ(gEditMode, 0u);  // a right click ends every click mode
}

TEST_F(ControlPost, ALocomotiveBesideTheBlockIsPickedWithinFourTimesTheTolerance) {
    struct Case {
        int dx;
        bool picked;
    } cases[] = {{8, true}, {16, true}, {17, false}};
    for (const Case& c : cases) {
        frmLok->close();
        gCurLoc = nullptr;
        gEditMode = 0;
        click(150 + c.dx, 100);
        EXPECT_EQ(frmLok->isVisible(), c.picked) << c.dx;
        EXPECT_EQ(gCurLoc, c.picked ? loco3() : nullptr) << c.dx;
    }
}

TEST_F(ControlPost, AKeyAfterALeftClickIsAKey) {
    click(150, 100);
    ASSERT_TRUE(frmLok->isVisible());
    EXPECT_EQ(frmLok->Tag, 8);  // the panel took up mode 8: it drives the locomotive
    frmLok->close();
    key('X');
    EXPECT_TRUE(frmTijd->isVisible());
    EXPECT_FALSE(frmLok->isVisible());
}

TEST_F(ControlPost, PlacingALocomotivePromptsAndEscCancels) {
    controlPostCommand(1042, 0);
    EXPECT_TRUE(frmLok->isVisible());
    EXPECT_EQ(frmLok->Tag, kLokPlacing);
    EXPECT_EQ(gEditMode, kPostPlaceLoco);
    EXPECT_EQ(gStatusText, "Klik op het blok waar de loc dient te staan");
    EXPECT_EQ(frmSchema->cursor().shape(), Qt::PointingHandCursor);
    key(vestrel::VK_ESCAPE);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gStatusLineShown, 0);
    EXPECT_FALSE(frmLok->isVisible());
    EXPECT_EQ(frmSchema->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ControlPost, TwentyLocomotivesOnTheTrackAreTheMost) {
    while (gLocsOnTrackCount < kMaxLocsOnTrack) {
        auto l = std::make_unique<LocoRec>();
        l->number = static_cast<int16_t>(100 + gLocCount);
        gLocsOnTrack.append(gLocs.append(std::move(l)));
    }
    controlPostCommand(1042, 0);
    EXPECT_EQ(lastDialogMessage(), "Maximaal aantal locomotieven bereikt !");
    EXPECT_FALSE(frmLok->isVisible());
}

TEST_F(ControlPost, RemovingTakesTheClickedLocomotiveOrTheActiveOneWithEnter) {
    controlPostCommand(1043, 0);
    EXPECT_EQ(gEditMode, kPostRemoveVehicle);
    EXPECT_EQ(gStatusText,
              "Klik op de te verwijderen locomotief of wagon of druk 'enter' om de in de commadopost actieve loc te "
              "verwijderen");
    click(250, 200);  // locomotive 7
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gStatusLineShown, 0);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    controlPostCommand(1053, 0);
    key(vestrel::VK_RETURN);
    EXPECT_EQ(gLocsOnTrackCount, 0);
    controlPostCommand(1043, 0);
    EXPECT_EQ(gEditMode, 0u);  // nothing left on the track to remove
}

TEST_F(ControlPost, ProgrammingNeedsTheTrackLinkAndTheDirectBooster) {
    controlPostCommand(1047, 0);
    EXPECT_EQ(lastDialogMessage(), "Connectie met spoorbaan is niet actief !");
    ASSERT_EQ(toggleControlPostSession(12), 0);  // switched to track control
    controlPostCommand(1047, 0);
    EXPECT_EQ(lastDialogMessage(),
              "Een loc programmeren is enkel mogelijk met directe connectie naar booster zonder interface (zie "
              "instellingen) !");
    EXPECT_FALSE(frmProg->isVisible());
    gSettings.chboDirectBooster = 1;
    gActiveRow = 1;
    controlPostCommand(1047, 1);
    EXPECT_TRUE(frmProg->isVisible());
    EXPECT_EQ(gProgLoco, gLocsOnTrack[1]);
}

TEST_F(ControlPost, MenusOpenTheirDialogsOnTheActiveRowOrTheFirstElement) {
    gActiveRow = 1;
    controlPostCommand(1041, 1);
    EXPECT_TRUE(frmTrein->isVisible());
    EXPECT_EQ(gCurTrain, gLocsOnTrack[1]);
    controlPostCommand(1046, 1);
    EXPECT_TRUE(frmTraject->isVisible());
    EXPECT_EQ(gRouteDialogLoco, gLocsOnTrack[1]);
    EXPECT_EQ(gEditMode, kPostLocoRoute);
    controlPostCommand(1061, 1);
    EXPECT_TRUE(frmSektie->isVisible());
    EXPECT_EQ(gSelectedBlock, gBlocks[0]);
    controlPostCommand(1111, 1);
    EXPECT_TRUE(frmStappen->isVisible());
    EXPECT_EQ(gEditMode, kPostStepPrograms);
    controlPostCommand(1051, 1);
    EXPECT_TRUE(frmWagons->isVisible());
    EXPECT_EQ(frmWagons->Tag, static_cast<int>(kPostWagonTable));  // the table took its mode
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(ControlPost, InputSimulationTogglesTheClickedInput) {
    controlPostCommand(1112, 0);
    EXPECT_EQ(lastDialogMessage(),
              "Klik op een sectie of ingangsbouwsteen om een ingangssignaal aan of uit te zetten. De visualisatie van "
              "de terugmeldingen (zie instellingen) is aangezet! De simulatie wordt terug be\xEBindigd door 'OK' in "
              "te drukken.");
    EXPECT_EQ(gNoFeedbackPoll, 1);
    EXPECT_EQ(gSettings.chboVisuTerugmeld, 1);
    click(500, 300);
    EXPECT_NE(gFeedbackImage.contactBit(12), 0);
    click(500, 300);
    EXPECT_EQ(gFeedbackImage.contactBit(12), 0);
}

TEST_F(ControlPost, SpaceStopsEveryTrain) {
    loco3()->running = 1;
    loco3()->targetStep = 4;
    key(vestrel::VK_SPACE);
    EXPECT_EQ(loco3()->running, 0);
    EXPECT_EQ(loco3()->targetStep, 0);
}

}  // namespace
