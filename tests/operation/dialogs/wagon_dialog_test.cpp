// The wagon table on its real widgets: new and deleted wagons, the cells' caps, the modes, the
// location text, the record it sends, and what it does when a wagon is freed elsewhere.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cstring>

#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_wagon_updates.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/form_geometry.h"
#include "operation/dialogs/untWagons.h"
#include "operation/engine/helper_locos.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"

namespace {

class WagonDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        setScaleParameters('3', '5', 0);
        showDialogMessage("", 3);
        gNetOutFill = 0;
    }
    void TearDown() override {
        if (frmWagons->isVisible()) frmWagons->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
        gCurWagon = gCurWagonFirst = nullptr;
        clearTrainTables();
    }
    static void open(uint32_t mode) {
        gEditMode = mode;
        frmWagons->Tag = 0;
        frmWagons->show();
        ASSERT_TRUE(frmWagons->isVisible());
    }
    static WagonRec* newWagon(int number) {
        auto w = std::make_unique<WagonRec>();
        w->number = number;
        return gWagons.append(std::move(w));
    }
    // Types into the cell's editor and presses Enter there.
    static void typeInCell(int row, int col, const char* text) {
        QTableWidget* grid = frmWagons->strgrdWagons;
        grid->setCurrentCell(row, col);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last cell's editor
        grid->editItem(grid->item(row, col));
        auto* editor = grid->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->clear();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    static QString cell(int row, int col) { return frmWagons->strgrdWagons->item(row, col)->text(); }
    RunningProgram program;
};

TEST_F(WagonDialog, ANewWagonIsAPassengerWagonOf15CmListedLast) {
    newWagon(1);
    open(5);
    frmWagons->btnNieuw->click();
    ASSERT_EQ(gWagonTotal, 2);
    WagonRec* w = gWagons[1];
    EXPECT_EQ(w->kind, 'P');
    EXPECT_EQ(w->lengthCm, 15);
    EXPECT_EQ(w->slot, 1);
    EXPECT_EQ(w->lengthUnits, wagonLengthUnits(15));
    EXPECT_EQ(gCurWagon, w);
    EXPECT_EQ(frmWagons->strgrdWagons->rowCount(), 2);
    EXPECT_EQ(cell(1, 2).toStdString(), "Personen");
    EXPECT_EQ(cell(1, 5).toStdString(), "15");
    EXPECT_EQ(gLocoDataModified, 1);
}

TEST_F(WagonDialog, ANewWagonNeverHasFewerThanSixLengthUnits) {
    const float cmPerUnit = gCmPerUnit;
    gCmPerUnit = 3.0f;  // 15 cm is 5 units: minus the coupling allowance it would wrap to 255
    open(5);
    frmWagons->btnNieuw->click();
    gCmPerUnit = cmPerUnit;
    ASSERT_EQ(gWagonTotal, 1);
    EXPECT_EQ(gWagons[0]->lengthUnits, 6);
    // Scale II at zoom "zeer klein": 15 cm is 3 units, which would be stored as 253.
    setScaleParameters('1', '1', 0);
    ASSERT_EQ(fromCentimetres(15), 3);
    frmWagons->btnNieuw->click();
    ASSERT_EQ(gWagonTotal, 2);
    EXPECT_EQ(gWagons[1]->lengthUnits, 6);
}

TEST_F(WagonDialog, The201stWagonIsRefused) {
    for (int i = 0; i < kMaxWagons; ++i) newWagon(i);
    open(5);
    frmWagons->btnNieuw->click();
    EXPECT_EQ(lastDialogMessage(), "Maximaal aantal wagons reeds ingevoerd !");
    EXPECT_EQ(gWagonTotal, kMaxWagons);
}

TEST_F(WagonDialog, LengthAndPercentageAreCappedAndWrittenBack) {
    newWagon(1);
    open(5);
    typeInCell(0, 5, "150");
    EXPECT_EQ(gWagons[0]->lengthCm, 120);
    EXPECT_EQ(cell(0, 5).toStdString(), "120");
    typeInCell(0, 7, "250");
    EXPECT_EQ(gWagons[0]->percent, 100);
    EXPECT_EQ(cell(0, 7).toStdString(), "100");
    typeInCell(0, 3, "4711");
    EXPECT_EQ(gWagons[0]->number, 4711);
}

TEST_F(WagonDialog, ANumberTypedForAHelperWagonIsIgnored) {
    WagonRec* w = newWagon(5);
    w->kind = 'H';
    open(5);
    EXPECT_FALSE(frmWagons->strgrdWagons->item(0, 3)->flags() & Qt::ItemIsEditable);
    frmWagons->strgrdWagonsSetEditText(0, 3, "77");
    EXPECT_EQ(w->number, 5);
    frmWagons->strgrdWagons->setCurrentCell(0, 3);
    EXPECT_TRUE(frmWagons->cboWagonNummer->isVisible());
    frmWagons->strgrdWagons->setCurrentCell(0, 1);
    EXPECT_FALSE(frmWagons->cboWagonFoto->isVisible());  // a helper's picture is its locomotive's
}

TEST_F(WagonDialog, ModeEightListsOneChainAndTheOthersTheirZones) {
    auto loco = std::make_unique<LocoRec>();
    loco->number = 3;
    LocoRec* l = gLocs.append(std::move(loco));
    l->frontChain = newWagon(21);
    l->frontChain->next = newWagon(22);
    l->rearChain = newWagon(23);
    newWagon(99);
    relinkWagonChains();
    gCurWagonFirst = l->frontChain;
    gCurWagon = l->frontChain->next;
    open(8);
    EXPECT_EQ(frmWagons->windowTitle().toStdString(), "Wagons wijzigen");
    ASSERT_EQ(gWagonList.size(), 2u);
    EXPECT_EQ(gWagonList[0]->number, 21);
    EXPECT_EQ(gWagonList[1]->number, 22);
    EXPECT_EQ(frmWagons->strgrdWagons->currentRow(), 1);
    EXPECT_TRUE(frmWagons->btnNieuw->isHidden());
    frmWagons->close();
    open(33);
    ASSERT_EQ(gWagonList.size(), 1u);  // only the wagon off the track
    EXPECT_EQ(gWagonList[0]->number, 99);
    EXPECT_EQ(frmWagons->windowTitle().toStdString(), "Wagon op het spoor zetten");
    frmWagons->close();
    open(5);
    EXPECT_EQ(gWagonList.size(), 4u);
    EXPECT_FALSE(frmWagons->btnVerwijderen->isEnabled());  // the first listed is in a train
}

TEST_F(WagonDialog, TheLocationTextNamesBothEndsAndTheOwner) {
    BlockRec block;
    block.number = 4;
    TrackRec track;
    TurnoutRec turnout;
    turnout.number = 12;
    LocoRec loco;
    loco.number = 3;
    WagonRec w;
    EXPECT_EQ(vehicleLocationText(w, false), "Locatie:  staat niet op de spoorbaan    niet verbonden aan een locomotief");
    w.front.block = &block;
    w.rear.block = &block;
    w.owner = &loco;
    EXPECT_EQ(vehicleLocationText(w, false), "Locatie:  blok 4    verbonden aan locomotief 3");
    w.rear.block = nullptr;
    w.rear.turnout = &turnout;
    EXPECT_EQ(vehicleLocationText(w, false), "Locatie:  blok 4 - wissel 12    verbonden aan locomotief 3");
    w.front.block = nullptr;
    w.front.track = &track;
    w.rear.turnout = nullptr;
    w.rear.block = &block;
    EXPECT_EQ(vehicleLocationText(w, true),
              "Locatie:  verbindingsspoor - blok 4\n               verbonden aan locomotief 3");
    w.front.track = nullptr;
    w.front.turnout = &turnout;
    w.rear.block = nullptr;
    w.owner = nullptr;
    EXPECT_EQ(vehicleLocationText(w, false), "Locatie:  wissel 12    niet verbonden aan een locomotief");
    QLabel narrow, wide;
    narrow.resize(200, 40);
    wide.resize(400, 40);
    showVehicleLocation(&w, &narrow);
    showVehicleLocation(&w, &wide);
    EXPECT_TRUE(narrow.text().contains('\n'));
    EXPECT_FALSE(wide.text().contains('\n'));
    // The dialog's label holds the longest texts whole.
    open(0);
    for (LocoRec* owner : {&loco, static_cast<LocoRec*>(nullptr)}) {
        w.front.track = &track;
        w.front.turnout = nullptr;
        w.rear.turnout = &turnout;
        w.owner = owner;
        turnout.number = 999;
        showVehicleLocation(&w, frmWagons->lblWagonInfo);
        EXPECT_TRUE(labelTextFits(frmWagons->lblWagonInfo)) << frmWagons->lblWagonInfo->text().toStdString();
    }
}

// 3/37: kind, code, 0, the slot, then the 68 bytes from the length units: length units, kind, 2 spare,
// next, previous, owner (none: 0), number, weight, photo (11), description (29), length in cm,
// percentage, spare, slot.
TEST_F(WagonDialog, EditsAreSentWhenTheWagonIsLeft) {
    newWagon(1);
    WagonRec* w = newWagon(4711);
    w->lengthUnits = 10;
    w->kind = 'G';
    w->weight = 300;
    w->photo = "kw1";
    w->lengthCm = 20;
    open(5);
    gNetLinkState = 30;
    gNetOutFill = 0;
    frmWagons->strgrdWagons->setCurrentCell(1, 4);
    typeInCell(1, 4, "Kolen");
    ASSERT_EQ(w->description, "Kolen");
    gNetOutFill = 0;
    typeInCell(1, 7, "50");  // Enter outside the photo, kind, number and length columns commits
    std::vector<uint8_t> expected = {3, 37, 0, 0, 1, 0, 10, 'G', 0, 0};
    expected.insert(expected.end(), 12, 0);
    const uint8_t numberAndWeight[8] = {0x67, 0x12, 0, 0, 0x2C, 0x01, 0, 0};
    expected.insert(expected.end(), numberAndWeight, numberAndWeight + 8);
    const char photo[11] = "kw1";
    expected.insert(expected.end(), photo, photo + 11);
    const char description[29] = "Kolen";
    expected.insert(expected.end(), description, description + 29);
    const uint8_t tail[4] = {20, 50, 0, 1};
    expected.insert(expected.end(), tail, tail + 4);
    ASSERT_EQ(expected.size(), 74u);
    ASSERT_EQ(gNetOutFill, 74);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + 74), expected);
    EXPECT_EQ(gChangeFlags & 2, 0);
}

TEST_F(WagonDialog, DeletingAsksAndTakesTheWagonOutOfTableAndList) {
    newWagon(1);
    newWagon(2);
    newWagon(3);
    open(5);
    frmWagons->strgrdWagons->setCurrentCell(1, 4);
    gNetLinkState = 30;
    whenModal([](QWidget* modal) { clickButton(modal, "btnJa"); });
    frmWagons->btnVerwijderen->click();
    ASSERT_EQ(gWagonTotal, 2);
    EXPECT_EQ(gWagons[1]->number, 3);
    EXPECT_EQ(gWagons[1]->slot, 1);
    EXPECT_EQ(frmWagons->strgrdWagons->rowCount(), 2);
    EXPECT_EQ(gCurWagon, gWagons[1]);
    EXPECT_TRUE(frmWagons->isVisible());
    const uint8_t expected[8] = {3, 42, 0, 0, 1, 0, 0, 0};
    ASSERT_EQ(gNetOutFill, 8);
    EXPECT_TRUE(std::equal(expected, expected + 8, gNetOutBuffer));
}

TEST_F(WagonDialog, AClientFollowsTheServersNewAndDeletedWagons) {
    newWagon(1);
    newWagon(2);
    open(5);
    gNetLinkState = 40;
    const uint8_t made[8] = {3, 0, 0, 0, 0, 0, 0, 0};
    netApplyWagonRecord(made, 8);
    EXPECT_FALSE(frmWagons->isVisible());
    ASSERT_EQ(gWagonTotal, 3);
    EXPECT_EQ(gWagons[2]->kind, 'P');
    const uint8_t deleted[8] = {3, 42, 0, 0, 0, 0, 0, 0};
    netApplyWagonRecord(deleted, 8);
    ASSERT_EQ(gWagonTotal, 2);
    EXPECT_EQ(gWagons[0]->number, 2);
    EXPECT_EQ(gWagons[0]->slot, 0);
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(WagonDialog, AWagonFreedElsewhereClosesTheTableThatListsIt) {
    newWagon(1);
    newWagon(2);
    open(5);
    ASSERT_EQ(gCurWagon, gWagons[0]);
    freeWagonSlot(0);
    EXPECT_FALSE(frmWagons->isVisible());
    EXPECT_EQ(gCurWagon, nullptr);
    EXPECT_TRUE(gWagonList.empty());
}

TEST_F(WagonDialog, AddingToATrainIsModalAndEscCancels) {
    newWagon(8);
    gEditMode = 3;
    frmWagons->Tag = 0;
    whenModal([](QWidget* modal) { pressKey(modal, Qt::Key_Escape); });
    EXPECT_EQ(frmWagons->exec(), QDialog::Rejected);
    gEditMode = 3;
    frmWagons->Tag = 0;
    whenModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle().toStdString(), "Wagon toevoegen aan locomotief");
        EXPECT_EQ(frmWagons->btnAfsluiten->text().toStdString(), "Annuleren");
        clickButton(modal, "btnOK");
    });
    EXPECT_EQ(frmWagons->exec(), QDialog::Accepted);
    EXPECT_EQ(gCurWagon, gWagons[0]);
    EXPECT_EQ(frmWagons->Tag, 0);
}

}  // namespace
