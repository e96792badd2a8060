// The train dialog from the real main window in a session without track control: F2 opens it, a new
// locomotive gets its data, Ctrl+Ins and a click on a block put it on the track, two new wagons are
// coupled behind it through the modal wagon table, it is driven from its panel, and after a stop with
// saving and a new start all of it is back.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/main_window_input.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

void startSessionWithF11() {
    ASSERT_TRUE(focusMainWindow());
    QTest::keyClick(frmSchema, Qt::Key_F11);
    ASSERT_EQ(gRunWithoutTrack, 1);
    frmBoodschap->close();
}

// Toevoegen in the wagons tab: "Nieuw" and "OK" in the modal wagon table.
void addNewWagon() {
    whenModal([](QWidget* modal) {
        clickButton(modal, "btnNieuw");
        clickButton(modal, "btnOK");
    });
    frmTrein->btnWagToevoegen->click();
}

TEST(TrainDialogWindow, ALocomotiveAndItsTrainMadeInTheDialogAreBackAfterANewStart) {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    buildSessionLayout();
    gLocoFileName = "test.loc";
    writeSessionLocoFile("test.loc", {});
    gDirtyFlags = 0;
    startSessionWithF11();

    QTest::keyClick(frmSchema, Qt::Key_F2);
    ASSERT_TRUE(frmTrein->isVisible());
    EXPECT_FALSE(frmTrein->pctTrein->isEnabled());  // no locomotive yet
    QTest::keyClicks(frmTrein->edtLocNummer, "3");
    QTest::mouseClick(frmTrein->btnLocToevoegen, Qt::LeftButton);
    ASSERT_EQ(gLocCount, 1);
    LocoRec* loco = gLocs[0];
    EXPECT_EQ(gCurTrain, loco);
    EXPECT_EQ(loco->run.speedSteps, 28);
    EXPECT_EQ(frmTrein->cboDecoder->currentText().toStdString(), "DCC 28 stappen");
    for (int j : {1, 63, 126}) EXPECT_EQ(loco->speedTable[j], static_cast<int>(j * 130 / 126.0 + 0.5)) << j;

    frmTrein->edtMaxSnelh->selectAll();
    QTest::keyClicks(frmTrein->edtMaxSnelh, "60");
    EXPECT_EQ(loco->run.maxSpeed, 130);
    leaveField(frmTrein->edtMaxSnelh);
    EXPECT_EQ(loco->run.maxSpeed, 70);
    EXPECT_EQ(frmTrein->edtMaxSnelh->text().toStdString(), "70");

    const int stepDelay = loco->stepDelay;
    EXPECT_EQ(stepDelay, calcStepDelay(loco, loco->acceleration));

    // Ctrl+Ins, a click on block 1 and OK put it on the track; the wagons are coupled while it stands there.
    ASSERT_TRUE(focusMainWindow());
    QTest::keyClick(frmSchema, Qt::Key_Insert, Qt::ControlModifier);
    ASSERT_TRUE(frmLok->isVisible());
    ASSERT_EQ(frmLok->Tag, 3);
    ASSERT_EQ(frmLok->cboLocNummer->currentText().toStdString(), "3");
    clickDiagram(QPoint(200, 100));
    ASSERT_EQ(loco->run.head.block, blockNumbered(1));
    ASSERT_TRUE(frmLok->btnOK->isEnabled());
    frmLok->btnOK->click();
    EXPECT_FALSE(frmLok->isVisible());
    ASSERT_EQ(gLocsOnTrackCount, 1);
    ASSERT_EQ(gLocsOnTrack[0], loco);
    frmTrein->showNoneOrCurrent();
    frmTrein->pctTrein->setCurrentWidget(frmTrein->tshWagons);
    addNewWagon();
    addNewWagon();
    EXPECT_EQ(gTrainList.size(), 3u);
    EXPECT_EQ(frmTrein->strgrdWagons->rowCount(), 4);
    EXPECT_TRUE(frmTrein->btnWagVerwijderen->isEnabled());
    int wagons = 0;
    for (const WagonRec* w : gTrainList)
        if (w) {
            EXPECT_EQ(w->owner, loco);
            EXPECT_EQ(w->front.block, blockNumbered(1));
            ++wagons;
        }
    EXPECT_EQ(wagons, 2);

    // As the server: a third wagon at the head-side end is announced with the train's first position
    // (3/52: locomotive slot, wagon slot, row, then x and y as float32), and its removal with 3/53.
    gNetLinkState = 30;
    gNetOutFill = 0;
    frmTrein->strgrdWagons->setCurrentCell(0, 0);
    addNewWagon();
    ASSERT_EQ(gTrainList.size(), 4u);
    WagonRec* third = gTrainList[0];
    ASSERT_NE(third, nullptr);
    ASSERT_EQ(gNetOutFill, 8 + 16);  // the new wagon (3/0), then its coupling
    const uint8_t made[8] = {3, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(made, made + 8, gNetOutBuffer));
    const uint8_t head[8] = {3, 52, 0, 0, third->slot, 0, 0, 0};
    EXPECT_TRUE(std::equal(head, head + 8, gNetOutBuffer + 8));
    float xy[2];
    std::memcpy(xy, gNetOutBuffer + 16, 8);
    EXPECT_EQ(xy[0], third->front.x);
    EXPECT_EQ(xy[1], third->front.y);
    gNetOutFill = 0;
    frmTrein->strgrdWagons->setCurrentCell(0, 0);
    frmTrein->btnWagVerwijderen->click();
    EXPECT_EQ(gTrainList.size(), 3u);
    EXPECT_EQ(third->owner, nullptr);
    const uint8_t removed[8] = {3, 53, 0, 0, third->slot, 0, 0, 0};
    ASSERT_GE(gNetOutFill, 8);
    EXPECT_TRUE(std::equal(removed, removed + 8, gNetOutBuffer));
    gNetLinkState = 0;
    gNetOutFill = 0;
    frmTrein->close();

    // Driven from its panel ("Loc sturen" in the locomotive menu): F1 lowers yellow.
    ASSERT_TRUE(focusMainWindow());
    frmSchema->findChild<QAction*>("mnuLocSturen1")->trigger();
    ASSERT_TRUE(frmLok->isVisible());
    ASSERT_EQ(frmLok->Tag, 8);
    QLabel* f1 = frmLok->pnlF[1];
    QTest::mouseClick(f1, Qt::LeftButton);
    EXPECT_EQ(loco->run.functionBits1 & 0x01, 0x01);
    EXPECT_EQ(f1->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(backColour(f1), vestrel::clYellow);
    frmLok->close();

    // The stop asks to save the locomotives; after a new start the file gives everything back.
    EXPECT_EQ(toggleControlPostSession(13), 0);
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    frmBestandOpslaan->btnJa->click();
    ASSERT_FALSE(sessionRunning());
    EXPECT_EQ(gLocCount, 0);
    // The saved record holds 70 (header 8 bytes, count 4, maximum speed at 96 of the record), repeated
    // in the two spare bytes behind it as typed in "Max".
    const std::vector<uint8_t> file = testsupport::readBytes("test.loc");
    ASSERT_GT(file.size(), 112u);
    EXPECT_EQ(file[108] | (file[109] << 8), 70);
    EXPECT_EQ(file[110] | (file[111] << 8), 70);
    startSessionWithF11();
    ASSERT_EQ(gLocCount, 1);
    ASSERT_EQ(gLocsOnTrackCount, 1);
    loco = gLocs[0];
    EXPECT_EQ(loco->number, 3);
    EXPECT_EQ(loco->speedTable[126], 130);
    EXPECT_EQ(loco->run.maxSpeed, 70);
    EXPECT_EQ(loco->stepDelay, stepDelay);
    EXPECT_EQ(loco->run.speedSteps, 28);
    EXPECT_EQ(loco->decoderType, 4);
    EXPECT_EQ(loco->run.head.block, blockNumbered(1));
    EXPECT_EQ(chainWagons(loco->frontChain).size() + chainWagons(loco->rearChain).size(), 2u);
    EXPECT_EQ(gWagonTotal, 3);  // the removed one off the track
}

// A stop frees every locomotive and wagon and closes the dialogs: none keeps one, and opened again the
// train dialog shows none and the decoder dialog its decoder without a locomotive.
TEST(TrainDialogWindow, AfterAStopNoDialogKeepsAFreedLocomotiveOrWagon) {
    RunningProgram program;
    program.start();
    frmSchema->Timer1->stop();
    buildSessionLayoutWithTwoTrains();
    startSessionWithF11();
    LocoRec* three = findLocoByNumber(3);
    ASSERT_NE(three, nullptr);

    gCurTrain = three;
    frmTrein->show();
    frmTrein->pctTrein->setCurrentWidget(frmTrein->tshWagons);
    addNewWagon();
    ASSERT_EQ(gTrainList.size(), 2u);
    const int wagonRow = gTrainList[0] ? 0 : 1;
    frmTrein->strgrdWagons->setCurrentCell(wagonRow, 0);
    frmTrein->strgrdWagonsDblClick();
    ASSERT_TRUE(frmWagons->isVisible());
    ASSERT_NE(gCurWagon, nullptr);
    ASSERT_NE(gCurWagonFirst, nullptr);

    gActiveRow = gLocsOnTrack.indexOf(three);
    ASSERT_TRUE(focusMainWindow());
    frmSchema->findChild<QAction*>("mnuLocSturen1")->trigger();
    ASSERT_TRUE(frmLok->isVisible());
    ASSERT_EQ(gCurLoc, three);

    frmFunctieDec->show();
    frmFunctieDec->edtFdecNummer->setText("3");
    frmFunctieDec->btnFdecToevoegen->click();
    FunctionDecoderRec* decoder = gCurFunctionDecoder;
    ASSERT_NE(decoder, nullptr);
    ASSERT_EQ(decoder->loco, three);  // coupled to the locomotive with its address

    EXPECT_EQ(toggleControlPostSession(13), 0);
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    frmBestandOpslaan->btnNeen->click();
    ASSERT_FALSE(sessionRunning());
    ASSERT_EQ(gLocCount, 0);
    EXPECT_EQ(gCurTrain, nullptr);
    EXPECT_EQ(gCurLoc, nullptr);
    EXPECT_EQ(gCurWagon, nullptr);
    EXPECT_EQ(gCurWagonFirst, nullptr);
    EXPECT_TRUE(gTrainList.empty());
    for (QWidget* w : std::initializer_list<QWidget*>{frmLok, frmWagons, frmTrein, frmFunctieDec})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    frmTrein->show();
    EXPECT_FALSE(frmTrein->pctTrein->isEnabled());
    EXPECT_EQ(frmTrein->cboLocNummer->count(), 0);
    frmFunctieDec->show();
    EXPECT_EQ(gCurFunctionDecoder, decoder);
    EXPECT_EQ(decoder->loco, nullptr);
    EXPECT_EQ(frmFunctieDec->cboLoc->currentIndex(), 0);
}

}  // namespace
