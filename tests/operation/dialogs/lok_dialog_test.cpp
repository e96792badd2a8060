// The locomotive panel on the real main window during a session without track control: putting a
// locomotive on the track with Ctrl+Ins and a click on a block, and driving one from its panel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/form_geometry.h"
#include "operation/dialogs/main_window_input.h"
#include "operation/dialogs/untLok.h"
#include "operation/model/loco_functions.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

class LokDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayout();
        // Locomotive 3 on block 1, locomotive 9 (DCC, 28 steps) off the track: block 2 is free.
        gLocoFileName = "test.loc";
        writeSessionLocoFile("test.loc", {{3, 150, 100, 1}, {9, 0, 0, 0}});
        gDirtyFlags = 0;
        QApplication::setActiveWindow(frmSchema);
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 1);
        nine = gLocs[1];
        ASSERT_EQ(nine->number, 9);
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetOutFill = 0;
    }
    // Ctrl+Ins, then a click on the block at that point.
    void chooseBlock(QPoint p) {
        ASSERT_TRUE(focusMainWindow());
        QTest::keyClick(frmSchema, Qt::Key_Insert, Qt::ControlModifier);
        ASSERT_TRUE(frmLok->isVisible());
        ASSERT_EQ(frmLok->Tag, 3);
        EXPECT_EQ(frmLok->windowTitle(), "Locomotief op spoor zetten");
        ASSERT_EQ(frmLok->cboLocNummer->count(), 1);
        EXPECT_EQ(frmLok->cboLocNummer->itemText(0), "9");
        EXPECT_FALSE(frmLok->btnOK->isEnabled());
        clickDiagram(p);
    }
    void drive(LocoRec* loco) {
        gActiveRow = gLocsOnTrack.indexOf(loco);
        controlPostCommand(1044, gActiveRow);
        ASSERT_TRUE(frmLok->isVisible());
        ASSERT_EQ(frmLok->Tag, 8);
    }

    RunningProgram program;
    LocoRec* nine = nullptr;
};

TEST_F(LokDialog, CtrlInsAndAClickOnAFreeBlockThenOkPutTheLocomotiveOnTheTrack) {
    BlockRec* two = gBlocks[1];
    chooseBlock(QPoint(150, 200));
    EXPECT_EQ(nine->run.head.block, two);
    EXPECT_EQ(two->assignedTrain, nine);
    EXPECT_TRUE(frmLok->btnOK->isEnabled());
    EXPECT_FALSE(frmLok->cboLocNummer->isEnabled());
    EXPECT_EQ(frmLok->edtBlokNr->text(), "2");
    frmLok->btnOK->click();
    EXPECT_FALSE(frmLok->isVisible());
    EXPECT_EQ(frmLok->Tag, 0);
    ASSERT_EQ(gLocsOnTrackCount, 2);
    EXPECT_EQ(gLocsOnTrack[1], nine);
    EXPECT_EQ(nine->run.head.block, two);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
}

TEST_F(LokDialog, AReservedBlockIsRefusedAndAnnulerenTakesAPlacedTrainOffAgain) {
    chooseBlock(QPoint(200, 100));  // block 1 holds locomotive 3
    EXPECT_EQ(lastDialogMessage(), "Dit blok is reeds voorbehouden !");
    EXPECT_EQ(nine->run.head.block, nullptr);
    EXPECT_FALSE(frmLok->btnOK->isEnabled());
    if (frmBoodschap->isVisible()) frmBoodschap->close();

    clickDiagram(QPoint(150, 200));
    ASSERT_EQ(nine->run.head.block, gBlocks[1]);
    QTest::keyClick(frmLok, Qt::Key_Escape);  // Annuleren is the cancel button
    EXPECT_FALSE(frmLok->isVisible());
    EXPECT_EQ(nine->run.head.block, nullptr);
    EXPECT_EQ(gBlocks[1]->assignedTrain, nullptr);
    EXPECT_EQ(gLocsOnTrackCount, 1);
}

TEST_F(LokDialog, OkWithTwentyOnTheTrackRefusesAndQueuesNothing) {
    chooseBlock(QPoint(150, 200));
    ASSERT_EQ(nine->run.head.block, gBlocks[1]);
    // Stand-ins fill the rows up to 20; they are never driven.
    std::vector<std::unique_ptr<LocoRec>> standIns;
    while (!gLocsOnTrack.full()) {
        standIns.push_back(std::make_unique<LocoRec>());
        gLocsOnTrack.append(standIns.back().get());
    }
    gNetLinkState = 30;
    gNetOutFill = 0;
    frmLok->btnOKClick(false);  // as the network receiver runs it
    EXPECT_EQ(gLocsOnTrackCount, kMaxLocsOnTrack);
    EXPECT_EQ(gLocsOnTrack.indexOf(nine), -1);
    EXPECT_EQ(nine->run.head.block, nullptr);
    EXPECT_EQ(gBlocks[1]->assignedTrain, nullptr);
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_FALSE(frmLok->isVisible());
    while (gLocsOnTrackCount > 1) gLocsOnTrack.removeAt(gLocsOnTrackCount - 1);
}

TEST_F(LokDialog, DrivenFromItsPanelF1LowersYellowAndTheButtonsAndKeysReachItsRow) {
    LocoRec* three = gLocsOnTrack[0];
    drive(three);
    EXPECT_EQ(frmLok->windowTitle(), "Locomotief sturen");
    EXPECT_EQ(frmLok->btnAnnuleren->text(), "Afsluiten");
    EXPECT_FALSE(frmLok->btnOK->isVisible());
    EXPECT_TRUE(frmLok->pnlF[20]->isVisible());  // DCC: F0..F20, the form grown
    EXPECT_GT(frmLok->btnHelp->y(), frmLok->grpStuur->geometry().bottom());

    QLabel* f1 = frmLok->pnlF[1];
    ASSERT_EQ(f1->frameShadow(), QFrame::Raised);
    QTest::mouseClick(f1, Qt::LeftButton);
    EXPECT_EQ(three->run.functionBits1 & 0x01, 0x01);
    EXPECT_EQ(f1->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(backColour(f1), vestrel::clYellow);
    QTest::mouseClick(f1, Qt::LeftButton);
    EXPECT_EQ(three->run.functionBits1 & 0x01, 0);
    EXPECT_EQ(f1->frameShadow(), QFrame::Raised);

    if (!three->running) frmLok->btnLok0->click();
    ASSERT_EQ(three->running, 1);
    EXPECT_EQ(frmLok->btnLok0->text(), "Aan");
    // In "Rangeer" it starts without a free route ahead.
    for (int k = 0; k < 4 && three->mode != kModeShunting; ++k) frmLok->btnMode0->click();
    ASSERT_EQ(three->mode, kModeShunting);
    EXPECT_EQ(frmLok->btnMode0->text(), "Rangeer");
    frmLok->setFocus();
    const int before = three->targetStep;
    QTest::keyClick(frmLok, Qt::Key_Up);
    EXPECT_EQ(three->targetStep, before + 1);
    EXPECT_EQ(frmLok->tbarSnelheid->value(), three->run.speedSteps - three->targetStep);
    QTest::keyClick(frmLok, Qt::Key_Down);
    EXPECT_EQ(three->targetStep, before);

    // A press on the speed bar near its top asks for a higher step: one step at a time from a stand.
    const QRect bar = frmLok->tbarSnelheid->geometry();
    QTest::mousePress(frmLok->grpStuur, Qt::LeftButton, {}, QPoint(bar.center().x(), bar.top() + 12));
    EXPECT_EQ(three->targetStep, before + 1);
    QTest::mouseRelease(frmLok->grpStuur, Qt::LeftButton, {}, QPoint(bar.center().x(), bar.top() + 12));
    QTest::mousePress(frmLok->grpStuur, Qt::LeftButton, {}, QPoint(bar.right() + 40, bar.top() + 12));
    EXPECT_EQ(three->targetStep, before + 1);  // beside the bar: nothing
}

// Whatever the decoder shows of F0..F20, and in the putting use, no control covers another; the
// contact roles fit their list.
TEST_F(LokDialog, NoControlCoversAnother) {
    LocoRec* three = gLocsOnTrack[0];
    for (int decoder : {0, 1, 4}) {
        three->decoderType = static_cast<uint8_t>(decoder);
        drive(three);
        EXPECT_EQ(coveredControls(frmLok, {frmLok, frmLok->grpStuur}), "") << "decoder type " << decoder;
        // The middle of F0 is F0's: a click there switches F0.
        QLabel* f0 = frmLok->pnlF[0];
        EXPECT_EQ(frmLok->childAt(f0->mapTo(frmLok, f0->rect().center())), f0);
        frmLok->close();
    }
    chooseBlock({150, 200});
    EXPECT_EQ(coveredControls(frmLok, {frmLok}), "");
    EXPECT_LE(frmLok->cboSecSoort->sizeHint().width(), frmLok->cboSecSoort->width());
    frmLok->close();
}

TEST_F(LokDialog, AccelerationAndStartPauseAreStoredAndSent) {
    LocoRec* three = gLocsOnTrack[0];
    drive(three);
    gNetLinkState = 30;
    gNetOutFill = 0;
    frmLok->tbarVersnelling->setValue(0);
    EXPECT_EQ(three->acceleration, 10);
    const std::vector<uint8_t> acceleration = {2, 27, 3, 0, 0, 0, 10, 0};
    ASSERT_EQ(gNetOutFill, 8);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + 8), acceleration);

    gNetOutFill = 0;
    QTest::keyClicks(frmLok->edtStartpauzetijd, "");
    frmLok->edtStartpauzetijd->clear();
    QTest::keyClicks(frmLok->edtStartpauzetijd, "9");
    EXPECT_EQ(three->run.runFlagsA >> 5, 1);  // 9 modulo 8
    EXPECT_EQ(frmLok->edtStartpauzetijd->text(), "1");
    const std::vector<uint8_t> pause = {2, 36, 3, 0, 0, 0, 1, 0};
    ASSERT_EQ(gNetOutFill, 8);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + 8), pause);
}

TEST_F(LokDialog, AWaitBeyondAnHourIsIgnored) {
    LocoRec* three = gLocsOnTrack[0];
    drive(three);
    three->mode = kModeAuto;
    three->speedValue = 0;
    BlockRec* head = three->run.head.block;
    ASSERT_TRUE(head);
    head->remainingWait = 5;
    for (const char* typed : {"3601", "3600"}) {
        frmLok->lblPauzetelDblClick();
        ASSERT_TRUE(frmLok->edtPauzetel->isVisible()) << typed;
        EXPECT_FALSE(frmLok->annulerenCancels);
        frmLok->edtPauzetel->setText(typed);
        QTest::keyClick(frmLok->edtPauzetel, Qt::Key_Return);
        EXPECT_FALSE(frmLok->edtPauzetel->isVisible()) << typed;
        EXPECT_TRUE(frmLok->annulerenCancels);
    }
    EXPECT_EQ(head->remainingWait, 3600);
    EXPECT_EQ(frmLok->lblPauzetel->text(), "3600");
}

TEST_F(LokDialog, DeletingItsLocomotiveClosesThePanelAndClearsTheCurrentOne) {
    LocoRec* three = gLocsOnTrack[0];
    drive(three);
    ASSERT_EQ(gCurLoc, three);
    three->targetStep = 0;
    ASSERT_EQ(deleteLoco(three), 1);
    EXPECT_EQ(gCurLoc, nullptr);
    EXPECT_FALSE(frmLok->isVisible());
}

TEST(LokFunctions, FunctionBitsOfTheThreeBytes) {
    const struct {
        uint32_t word;
        int n;
        bool on;
    } cases[] = {{0x10, 0, true}, {0x01, 0, false}, {0x01, 1, true}, {0x08, 4, true}, {0x10, 4, false},
                 {0x100, 5, true}, {0x800000, 20, true}, {0x400000, 20, false}, {0xFFFFFF, 21, false}};
    for (const auto& c : cases) EXPECT_EQ(isFunctionOn(c.word, c.n) != 0, c.on) << c.word << " F" << c.n;
}

}  // namespace
