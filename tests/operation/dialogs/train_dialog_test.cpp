// The train dialog on its real widgets: adding, renumbering and deleting locomotives, the field rules,
// the distance counters, the record it sends when closed, and what it shows of a freed locomotive.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_wagon_updates.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untTrein.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"

namespace {

class TrainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        showDialogMessage("", 3);
        gNetOutFill = 0;
    }
    void TearDown() override {
        if (frmTrein->isVisible()) frmTrein->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
        gCurTrain = nullptr;
        clearTrainTables();
    }
    static void open() {
        frmTrein->show();
        ASSERT_TRUE(frmTrein->isVisible());
    }
    static void add(int number) {
        frmTrein->edtLocNummer->setText(QString::number(number));
        frmTrein->btnLocToevoegen->click();
    }
    static std::vector<int> listed() {
        std::vector<int> n;
        for (int i = 0; i < frmTrein->cboLocNummer->count(); ++i) n.push_back(frmTrein->cboLocNummer->itemText(i).toInt());
        return n;
    }
    RunningProgram program;
};

TEST_F(TrainDialog, ANewLocomotiveHasTheDefaultsAndIsListedInNumberOrder) {
    open();
    add(0);
    frmTrein->edtLocNummer->setText("-5");
    frmTrein->btnLocToevoegen->click();
    EXPECT_EQ(gLocCount, 0);
    add(7);
    add(3);
    ASSERT_EQ(gLocCount, 2);
    EXPECT_EQ(listed(), (std::vector<int>{3, 7}));
    LocoRec* three = gLocs[0];
    EXPECT_EQ(three->number, 3);
    EXPECT_EQ(three->slot, 0);
    EXPECT_EQ(gLocs[1]->slot, 1);
    EXPECT_EQ(gCurTrain, three);
    EXPECT_EQ(three->run.maxSpeed, 130);
    EXPECT_EQ(three->run.speedSteps, 28);
    EXPECT_EQ(three->maxStep, 28);
    EXPECT_EQ(three->decoderType, 4);
    EXPECT_EQ(three->kind, 1);
    EXPECT_EQ(three->acceleration, 7);
    EXPECT_EQ(three->heading, 'H');
    EXPECT_EQ(three->direction, 'v');
    EXPECT_EQ(three->speedTable[0], 0);
    EXPECT_EQ(three->speedTable[126], 130);  // the straight curve up to 130 km/h
    EXPECT_EQ(frmTrein->cboDecoder->currentText().toStdString(), "DCC 28 stappen");
    EXPECT_EQ(frmTrein->cboLocSoort->currentText().toStdString(), "Personen");
    EXPECT_EQ(frmTrein->cboLocMotor->currentText().toStdString(), "Stoom");
    EXPECT_EQ(frmTrein->edtMaxSnelh->text().toStdString(), "130");
    EXPECT_EQ(gLocoDataModified, 1);

    add(7);
    EXPECT_EQ(lastDialogMessage(), "Deze loc werd reeds toegevoegd");
    EXPECT_EQ(gLocCount, 2);
}

TEST_F(TrainDialog, The201stLocomotiveIsRefusedWithAMessage) {
    for (int n = 1; n <= kMaxLocs; ++n) ASSERT_EQ(addLocomotive(n), LocoAddResult::Added);
    open();
    add(9999);
    EXPECT_EQ(lastDialogMessage(), "Maximaal aantal locomotieven reeds ingevoerd !");
    EXPECT_EQ(gLocCount, kMaxLocs);
    EXPECT_EQ(findLocoByNumber(9999), nullptr);
}

TEST_F(TrainDialog, TheServerTellsItsClientsOfANewLocomotive) {
    gNetLinkState = 30;
    open();
    add(12);
    ASSERT_EQ(gNetOutFill, 8);
    const uint8_t expected[8] = {2, 0, 12, 0, 0, 0, 12, 0};
    EXPECT_TRUE(std::equal(expected, expected + 8, gNetOutBuffer));
}

TEST_F(TrainDialog, MaxSpeedIsTakenInRangeAtOnceAndClampedWhenLeft) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    open();
    gChangeFlags = 0;
    frmTrein->edtMaxSnelh->selectAll();
    QTest::keyClicks(frmTrein->edtMaxSnelh, "60");
    EXPECT_EQ(gLocs[0]->run.maxSpeed, 130);
    EXPECT_EQ(gChangeFlags & 1, 0);
    leaveField(frmTrein->edtMaxSnelh);
    EXPECT_EQ(frmTrein->edtMaxSnelh->text().toStdString(), "70");
    EXPECT_EQ(gLocs[0]->run.maxSpeed, 70);
    EXPECT_EQ(gChangeFlags & 1, 1);
    frmTrein->edtMaxSnelh->selectAll();
    QTest::keyClicks(frmTrein->edtMaxSnelh, "200");
    EXPECT_EQ(gLocs[0]->run.maxSpeed, 200);
}

TEST_F(TrainDialog, TheDecoderTypeSetsTheSpeedSteps) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    open();
    const struct {
        int index, steps;
    } cases[] = {{2, 27}, {0, 14}, {1, 14}, {3, 14}, {5, 126}, {4, 28}};
    for (const auto& c : cases) {
        frmTrein->cboDecoder->setCurrentIndex(c.index);
        frmTrein->cboDecoderChange();
        EXPECT_EQ(gLocs[0]->run.speedSteps, c.steps) << c.index;
        EXPECT_EQ(gLocs[0]->decoderType, c.index);
    }
}

TEST_F(TrainDialog, RenumberingRefusesANumberInUseAndKeepsTheTableSorted) {
    addLocomotive(3);
    addLocomotive(7);
    gCurTrain = gLocs[0];
    open();
    frmTrein->edtLocNummer->setText("7");
    frmTrein->btnLocWijzigen->click();
    EXPECT_EQ(lastDialogMessage(), "Dit nummer is reeds gebruikt");
    frmTrein->edtLocNummer->setText("9");
    frmTrein->btnLocWijzigen->click();
    EXPECT_EQ(gLocs[0]->number, 7);
    EXPECT_EQ(gLocs[1]->number, 9);
    EXPECT_EQ(gLocs[1]->slot, 1);
    EXPECT_EQ(gCurTrain, gLocs[1]);
    EXPECT_EQ(listed(), (std::vector<int>{7, 9}));
}

TEST_F(TrainDialog, DeletingAsksAndShowsTheNextLocomotiveButNotOneSwitchedOnOnABlock) {
    addLocomotive(3);
    addLocomotive(7);
    gCurTrain = gLocs[0];
    open();
    whenModal([](QWidget* modal) { clickButton(modal, "btnJa"); });
    frmTrein->btnLocVerwijderen->click();
    ASSERT_EQ(gLocCount, 1);
    EXPECT_EQ(gCurTrain, gLocs[0]);
    EXPECT_EQ(frmTrein->cboLocNummer->currentText().toStdString(), "7");

    BlockRec block;
    gLocs[0]->run.head.block = &block;
    gLocs[0]->running = 1;
    frmTrein->showNoneOrCurrent();
    EXPECT_FALSE(frmTrein->btnLocVerwijderen->isEnabled());
    frmTrein->btnLocVerwijderenClick();
    EXPECT_EQ(gLocCount, 1);
    gLocs[0]->run.head.block = nullptr;
}

TEST_F(TrainDialog, ALocomotiveDeletedElsewhereLeavesTheDialogShowingNone) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    open();
    deleteLoco(gLocs[0]);  // as the network receiver or a session stop does
    EXPECT_EQ(gCurTrain, nullptr);
    EXPECT_FALSE(frmTrein->pctTrein->isEnabled());
    EXPECT_EQ(frmTrein->edtLocNaam->text().toStdString(), "");
    EXPECT_EQ(frmTrein->cboLocNummer->count(), 0);
}

TEST_F(TrainDialog, DistanceCountersAreEditedOnlyAfterADoubleClick) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    gLocs[0]->run.kmTotal = 12.5f;
    open();
    QLineEdit* total = frmTrein->edtKmTellerTot;
    EXPECT_TRUE(total->isReadOnly());
    EXPECT_EQ(total->text().toStdString(), "12.5");
    QTest::mouseDClick(total, Qt::LeftButton);
    ASSERT_FALSE(total->isReadOnly());
    total->setText("40.25");
    gLocoDataModified = 0;
    QTest::keyClick(total, Qt::Key_Return);
    EXPECT_FLOAT_EQ(gLocs[0]->run.kmTotal, 40.25f);
    EXPECT_EQ(gLocoDataModified, 1);
    EXPECT_TRUE(total->isReadOnly());
    QTest::mouseDClick(total, Qt::LeftButton);
    total->setText("99");
    QTest::keyClick(total, Qt::Key_Escape);
    EXPECT_FLOAT_EQ(gLocs[0]->run.kmTotal, 40.25f);
    EXPECT_TRUE(total->isReadOnly());
    EXPECT_TRUE(frmTrein->isVisible());  // Esc belongs to no button of this dialog
}

TEST_F(TrainDialog, TheDayCounterShowsTenMetres) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    gLocs[0]->run.kmTotal = 12.5f;
    gLocs[0]->run.kmDay = 3.456f;
    open();
    EXPECT_EQ(frmTrein->edtKmTellerDag->text().toStdString(), "3.46");
    EXPECT_EQ(frmTrein->edtKmTellerTot->text().toStdString(), "12.5");
}

TEST_F(TrainDialog, TheDecoderTypeIsLockedOnlyForTheLocomotiveInTheCurveDialog) {
    addLocomotive(3);
    addLocomotive(5);
    openSpeedCurveDialog(gLocs[0], 50, 50);
    ASSERT_TRUE(frmCurve->isVisible());
    gCurTrain = gLocs[1];
    open();
    EXPECT_TRUE(frmTrein->cboDecoder->isEnabled());
    gCurTrain = gLocs[0];
    frmTrein->FormActivate();
    EXPECT_FALSE(frmTrein->cboDecoder->isEnabled());
    frmCurve->close();
    frmTrein->FormActivate();
    EXPECT_TRUE(frmTrein->cboDecoder->isEnabled());
}

// 2/37: kind, code, number, slot, then the 72 bytes from the maximum speed: maximum speed, 4 spare,
// speed steps, km heading 'H', total km, day km, photo (11), name (29), motor, kind, decoder type, 5
// reserved, train length, 2 reserved.
TEST_F(TrainDialog, ClosingAfterAChangeSendsTheLocomotiveData) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    gLocs[0]->run.photo = "br01";
    gLocs[0]->run.kmDay = 2.0f;
    open();
    gNetLinkState = 30;
    gNetOutFill = 0;
    QTest::keyClicks(frmTrein->edtLocNaam, "Ab");
    frmTrein->close();
    std::vector<uint8_t> expected = {2, 37, 3, 0, 0, 0, 130, 0, 0, 0, 0, 0, 28, 0};
    const uint8_t zeroFloat[4] = {0, 0, 0, 0}, two[4] = {0, 0, 0, 0x40};
    expected.insert(expected.end(), zeroFloat, zeroFloat + 4);
    expected.insert(expected.end(), zeroFloat, zeroFloat + 4);
    expected.insert(expected.end(), two, two + 4);
    const char photo[11] = "br01";
    expected.insert(expected.end(), photo, photo + 11);
    const char name[29] = "Ab";
    expected.insert(expected.end(), name, name + 29);
    const uint8_t tail[12] = {0, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    expected.insert(expected.end(), tail, tail + 12);
    ASSERT_EQ(expected.size(), 78u);
    ASSERT_EQ(gNetOutFill, 78);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + 78), expected);
    EXPECT_EQ(gChangeFlags & 1, 0);
    gNetOutFill = 0;
    open();
    frmTrein->close();
    EXPECT_EQ(gNetOutFill, 0);  // nothing changed this time
}

TEST_F(TrainDialog, SpaceTypesInTheNameAndElsewhereStopsAllTrainsDuringASession) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    gRunWithTrack = 1;  // with track control the stop holds the state
    open();
    QTest::keyClick(frmTrein->edtLocNaam, Qt::Key_Space);
    EXPECT_EQ(gLocs[0]->name, " ");
    EXPECT_EQ(gEmergencyState, 0);
    QTest::keyClick(frmTrein->cboLocNummer, Qt::Key_Space);
    EXPECT_NE(gEmergencyState, 0);
    gEmergencyState = 0;
    gRunWithTrack = 0;
}

TEST_F(TrainDialog, TheNetworkClientAddsTheServersLocomotive) {
    addLocomotive(3);
    gCurTrain = gLocs[0];
    open();
    gNetLinkState = 40;
    netApplyLocoAdded(5);
    ASSERT_EQ(gLocCount, 2);
    EXPECT_EQ(gLocs[0]->number, 3);
    EXPECT_EQ(gLocs[1]->number, 5);
    EXPECT_EQ(listed(), (std::vector<int>{3, 5}));
    EXPECT_EQ(gNetOutFill, 0);  // nothing goes back
}

}  // namespace
