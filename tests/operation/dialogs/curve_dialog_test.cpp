// The speed-curve dialog on the real form during a session without track control: editing by keys and
// clicks, the graph, closing with its record, and the calibration run stepped tick by tick.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_updates.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/form_geometry.h"
#include "operation/dialogs/untCurve.h"
#include "operation/engine/speed_calibration.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "platform/clock.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

constexpr int kIn1 = 100, kIn2 = 101;

class CurveDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        buildSessionLayoutWithTwoTrains();
        ASSERT_EQ(toggleControlPostSession(13), 1);
        ASSERT_EQ(gLocsOnTrackCount, 2);
        loco = gLocsOnTrack[0];
        ASSERT_EQ(loco->number, 3);
        ASSERT_EQ(loco->run.speedSteps, 28);
        gChangeFlags = 0;
        gCalOneWay = 0;
        gCalNegativeEdge = 0;
        gScaleDigit = '5';  // 1:87
    }
    void TearDown() override {
        if (frmCurve->isVisible()) frmCurve->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
        for (int c : {kIn1, kIn2}) setContactBit(c, 0);
    }
    // Every step of the curve at the value v.
    void flatCurve(int v) {
        for (int s = 1; s <= 28; ++s) fillSpeedCurveStep(loco, s, static_cast<uint8_t>(v));
        normaliseSpeedCurve(loco);
    }
    void open(int step) {
        gCurveStep = step;
        openSpeedCurveDialog(loco, 50, 50);
        ASSERT_TRUE(frmCurve->isVisible());
        ASSERT_EQ(frmCurve->Tag, 1);
    }
    static void altKey(int key) { QTest::keyClick(frmCurve, static_cast<Qt::Key>(key), Qt::AltModifier); }
    static int shownValue() { return frmCurve->lblSnelh->text().toInt(); }
    static int stepValue(const LocoRec* l, int s) { return l->speedTable[9 * s / 2]; }
    static void clickGraph(int x) { QTest::mouseClick(frmCurve, Qt::LeftButton, {}, QPoint(x, 60)); }

    // One cycle: the clock moves on, then the state steps as the main cycle or a feedback image would.
    void tick(uint32_t ms) {
        clock.advance(ms);
        gMsTick = vestrel::tickCountMs();
        if (frmCurve->Tag < 0) runSpeedCalibration(1);
        else if (frmCurve->Tag > 1) runSpeedCalibration(0);
    }
    bool tickUntil(int tag) {
        for (int k = 0; k < 200 && frmCurve->Tag != tag; ++k) tick(100);
        return frmCurve->Tag == tag;
    }
    // One passage from the start input to the end input in ms milliseconds.
    void passage(int startInput, int endInput, int ms) {
        ASSERT_TRUE(tickUntil(4));
        EXPECT_EQ(loco->targetStep, gCurveStep);
        setContactBit(startInput, 1);
        setContactBit(endInput, 0);
        tick(0);  // the start input is reached
        ASSERT_EQ(frmCurve->Tag, -5);
        // Blind for 20000 / shown speed + 2000 ms, then the end input is watched.
        const int blind = 20000 / std::max<int>(loco->shownSpeed, 1) + 2000;
        ASSERT_LT(blind + 200, ms);
        int used = 0;
        for (; used < ms && frmCurve->Tag == -5; used += 100) tick(100);
        ASSERT_EQ(frmCurve->Tag, 6);
        clock.advance(ms - used);
        setContactBit(startInput, 0);
        setContactBit(endInput, 1);
        tick(0);
    }
    void startCalibration() {
        frmCurve->edtIngang1->setText(QString::number(kIn1));
        frmCurve->edtIngang2->setText(QString::number(kIn2));
        frmCurve->edtAfstand->setText("400");
        gMsTick = vestrel::tickCountMs();
        setContactBit(kIn1, 1);
        frmCurve->btnIjken->click();
        ASSERT_EQ(frmCurve->Tag, -2);
        EXPECT_EQ(frmCurve->btnIjken->text(), "STOP");
        EXPECT_FALSE(frmCurve->btnOK->isEnabled());
    }

    RunningProgram program;
    vestrel::ManualClock clock{1000};
    LocoRec* loco = nullptr;
};

TEST_F(CurveDialog, AltArrowsWrapAroundTheStepsAndStopAtTheSpeedLimits) {
    fillSpeedCurveStep(loco, 5, 255);
    fillSpeedCurveStep(loco, 6, 1);
    open(1);
    altKey(Qt::Key_Left);
    EXPECT_EQ(gCurveStep, 28);
    altKey(Qt::Key_Right);
    EXPECT_EQ(gCurveStep, 1);

    clickGraph(36 + 9 * 5);
    ASSERT_EQ(gCurveStep, 5);
    ASSERT_EQ(shownValue(), 255);
    altKey(Qt::Key_Up);
    clickGraph(36 + 9 * 6);
    ASSERT_EQ(shownValue(), 1);
    altKey(Qt::Key_Down);
    EXPECT_EQ(stepValue(loco, 5), 255);
    EXPECT_EQ(stepValue(loco, 6), 1);
    EXPECT_EQ(gChangeFlags & 0x08, 0);

    altKey(Qt::Key_Up);
    EXPECT_EQ(shownValue(), 2);
    for (int j = 23; j <= 27; ++j) EXPECT_EQ(loco->speedTable[j], 2) << j;  // step 6 of 28
    EXPECT_EQ(gChangeFlags & 0x08, 0x08);
    // The value label's clicks: left up, right down.
    QTest::mouseClick(frmCurve->lblSnelh, Qt::LeftButton);
    EXPECT_EQ(stepValue(loco, 6), 3);
    QTest::mouseClick(frmCurve->lblSnelh, Qt::RightButton);
    EXPECT_EQ(stepValue(loco, 6), 2);
}

// The step and speed labels move along the graph with the chosen step, never over their captions.
TEST_F(CurveDialog, TheMovingValuesNeverCoverTheirCaptions) {
    open(1);
    for (int steps : {14, 27, 28, 126}) {
        loco->run.speedSteps = static_cast<int16_t>(steps);
        for (int s = 1; s <= steps; ++s) {
            gCurveStep = s;
            frmCurve->FormActivate();
            for (QLabel* value : {frmCurve->lblStap, frmCurve->lblSnelh})
                for (QLabel* caption : {frmCurve->lblStapTekst, frmCurve->lblKm_h})
                    EXPECT_FALSE(value->geometry().intersects(caption->geometry()))
                        << steps << " steps, step " << s << ": " << value->objectName().toStdString();
        }
    }
    for (QLabel* caption : {frmCurve->lblStapTekst, frmCurve->lblKm_h}) EXPECT_TRUE(labelTextFits(caption));
    loco->run.speedSteps = 28;
}

TEST_F(CurveDialog, GraphClicksSelectTheNearestStepClampedToBothEnds) {
    open(10);
    const struct {
        int x, step;
    } clicks[] = {{5, 1}, {36, 1}, {36 + 9 * 10 + 4, 10}, {36 + 9 * 10 + 5, 11}, {299, 28}};
    for (const auto& c : clicks) {
        clickGraph(c.x);
        EXPECT_EQ(gCurveStep, c.step) << c.x;
        EXPECT_EQ(frmCurve->lblStap->text().toInt(), c.step) << c.x;
    }
    EXPECT_EQ(frmCurve->lblStap->x(), 9 * 28 - frmCurve->lblStap->width() / 2 + 36);
}

TEST_F(CurveDialog, TheGraphShowsFieldDotsLineAndCurveAndACurveDrawnTwiceLeavesNoTrace) {
    flatCurve(100);
    ASSERT_EQ(loco->run.maxSpeed, 193);
    open(1);
    const vestrel::Canvas& g = frmCurve->graph;
    EXPECT_EQ(g.Pixel(100, 45), vestrel::clSilver);
    EXPECT_EQ(g.Pixel(45, 10), vestrel::clGray);
    EXPECT_EQ(g.Pixel(36 + 9 * 27, 120), vestrel::clGray);
    // The reference line leaves step 4's point (b = 4 x 193 / 28 + 0.5 = 28) in white.
    EXPECT_EQ(g.Pixel(36 + 9 * 4, (255 - 28) / 2), vestrel::clWhite);
    // The flat curve at 100 km/h lies at y 77, the silver under it inverted.
    EXPECT_EQ(g.Pixel(36 + 9 * 10, 77), vestrel::rgb(63, 63, 63));

    const QImage before = g.image().copy();
    drawSpeedCurve();
    EXPECT_EQ(frmCurve->graph.Pixel(36 + 9 * 10, 77), vestrel::clSilver);
    drawSpeedCurve();
    EXPECT_EQ(frmCurve->graph.image(), before);
}

TEST_F(CurveDialog, ClosingAfterAnEditQueuesTheCurveRecord) {
    flatCurve(100);
    open(1);
    gNetLinkState = 30;
    gNetOutFill = 0;
    altKey(Qt::Key_Up);
    frmCurve->btnOK->click();
    EXPECT_FALSE(frmCurve->isVisible());
    // Kind 2, code 38, locomotive 3 in slot 0, the 127 entries (step 1 of 28 owns 1..4), the spare
    // byte, the maximum speed 2 x (101 + 27 x 100) / 29 = 193.
    std::vector<uint8_t> expected = {2, 38, 3, 0, 0, 0, 0, 101, 101, 101, 101};
    expected.insert(expected.end(), 122, 100);
    expected.insert(expected.end(), {0, 193, 0});
    ASSERT_EQ(expected.size(), 136u);
    ASSERT_EQ(gNetOutFill, 136);
    EXPECT_EQ(std::vector<uint8_t>(gNetOutBuffer, gNetOutBuffer + 136), expected);
    EXPECT_EQ(gChangeFlags & 0x08, 0);
    EXPECT_EQ(gLocoDataModified, 1);
}

TEST_F(CurveDialog, AnnulerenRestoresTheTableAndMaximumAndSendsNothing) {
    flatCurve(100);
    const auto table = loco->speedTable;
    open(3);
    gNetLinkState = 30;
    gNetOutFill = 0;
    for (int k = 0; k < 5; ++k) altKey(Qt::Key_Up);
    ASSERT_NE(loco->speedTable, table);
    frmCurve->btnAnnuleren->click();
    EXPECT_EQ(loco->speedTable, table);
    EXPECT_EQ(loco->run.maxSpeed, 193);
    EXPECT_EQ(gNetOutFill, 0);
    EXPECT_EQ(gChangeFlags & 0x08, 0);
}

// A maximum typed in the train dialog's "Max" stands while steps are only chosen and comes back with
// "Annuleren"; an edit of the curve makes the maximum follow the curve again.
TEST_F(CurveDialog, ATypedMaximumStandsUntilTheCurveIsEdited) {
    flatCurve(100);
    loco->run.maxSpeed = 130;
    markTypedMaxSpeed(loco);
    open(3);
    altKey(Qt::Key_Right);
    altKey(Qt::Key_Left);
    EXPECT_EQ(loco->run.maxSpeed, 130);
    altKey(Qt::Key_Up);
    EXPECT_EQ(loco->run.maxSpeed, 2 * (101 + 27 * 100) / 29);
    frmCurve->btnAnnuleren->click();
    EXPECT_EQ(loco->run.maxSpeed, 130);
    EXPECT_TRUE(hasTypedMaxSpeed(*loco));
    open(3);
    altKey(Qt::Key_Up);
    frmCurve->btnOK->click();
    EXPECT_EQ(loco->run.maxSpeed, 193);
    EXPECT_FALSE(hasTypedMaxSpeed(*loco));
    normaliseSpeedCurve(loco);  // as the next load does
    EXPECT_EQ(loco->run.maxSpeed, 193);
}

TEST_F(CurveDialog, LinearCurveFrom12IsTheStraightLineTo28) {
    flatCurve(12);
    open(1);
    whenModal([](QWidget* modal) { clickButton(modal, "btnJa"); });
    frmCurve->btnLineair->click();
    EXPECT_EQ(loco->run.maxSpeed, 28);
    for (int j = 0; j < kSpeedTableSize; ++j) EXPECT_EQ(loco->speedTable[j], static_cast<int>(j * 28 / 126.0 + 0.5)) << j;
    EXPECT_EQ(gChangeFlags & 0x08, 0x08);
}

TEST_F(CurveDialog, TheDialogKeepsItsOwnLocomotiveWhenAnotherIsDeletedAndClosesWithIt) {
    LocoRec* seven = gLocsOnTrack[1];
    ASSERT_EQ(seven->slot, 1);
    const auto sevenTable = seven->speedTable;
    gCurveStep = 2;
    openSpeedCurveDialog(seven, 50, 50);
    altKey(Qt::Key_Up);
    ASSERT_EQ(deleteLoco(loco), 1);  // locomotive 7 moves to slot 0, locomotive 9 to slot 1
    ASSERT_EQ(seven->slot, 0);
    ASSERT_TRUE(frmCurve->isVisible());
    const auto nineTable = gLocs[1]->speedTable;
    frmCurve->btnAnnuleren->click();
    EXPECT_EQ(seven->speedTable, sevenTable);
    EXPECT_EQ(gLocs[1]->speedTable, nineTable);

    openSpeedCurveDialog(seven, 50, 50);
    altKey(Qt::Key_Up);
    ASSERT_EQ(deleteLoco(seven), 1);
    EXPECT_FALSE(frmCurve->isVisible());
    EXPECT_EQ(gCurveLoco, nullptr);
    EXPECT_EQ(gChangeFlags & 0x08, 0);
}

TEST(SpeedCalibration, MeasuredSpeedAtTheLayoutScale) {
    gScaleDigit = '5';  // 1:87
    const struct {
        double cm;
        int ms;
        int kmh;
    } cases[] = {
        {100, 4000, 78},    // 100 x 36 / 4000 x 87 = 78.3
        {100, 10440, 30},   // exactly 30
        {100, 10100, 31},
        {100, 100, 255},    // 3132 km/h does not fit an entry: the highest, never wrapped
        {0, 4000, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(measuredSpeed(c.cm, c.ms), c.kmh) << c.ms;
}

TEST_F(CurveDialog, ACalibrationRunMeasuresEveryStepDownToOneInBothDirections) {
    open(3);
    startCalibration();
    passage(kIn1, kIn2, 16000);
    EXPECT_EQ(stepValue(loco, 3), 78);
    EXPECT_EQ(loco->targetStep, 0);
    EXPECT_EQ(frmCurve->Tag, -7);
    EXPECT_EQ(gCurveStep, 2);
    passage(kIn2, kIn1, 41760);  // back the other way
    EXPECT_EQ(stepValue(loco, 2), 30);
    passage(kIn1, kIn2, 40412);
    EXPECT_EQ(stepValue(loco, 1), 31);
    EXPECT_EQ(frmCurve->Tag, -12);
    tick(100);
    EXPECT_EQ(frmCurve->Tag, 1);
    EXPECT_EQ(gCurveStep, 1);
    EXPECT_EQ(loco->targetStep, 0);
    EXPECT_EQ(frmCurve->btnIjken->text(), "CALIBREREN");
    EXPECT_TRUE(frmCurve->btnOK->isEnabled());
    EXPECT_EQ(gChangeFlags & 0x08, 0x08);
}

TEST_F(CurveDialog, ForwardOnlyDrivesBackAtAThirdOrHalfOfTheStepsBetweenPassages) {
    gCalOneWay = 1;
    open(3);
    startCalibration();
    std::vector<int> driveBack;
    const int times[] = {16000, 41760, 40412};  // 400 cm: 78, 30, 31 km/h
    for (int k = 0; k < 3; ++k) {
        passage(kIn1, kIn2, times[k]);
        if (k == 2) break;
        ASSERT_TRUE(tickUntil(9));
        driveBack.push_back(loco->targetStep);
        EXPECT_EQ(gCalWatchedInput, kIn1);
        setContactBit(kIn1, 1);
        tick(100);
        ASSERT_EQ(frmCurve->Tag, 10);
        setContactBit(kIn1, 0);
        tick(100);
        ASSERT_EQ(frmCurve->Tag, -11);
        setContactBit(kIn1, 1);  // it stands on the start input again
    }
    EXPECT_EQ(driveBack, (std::vector<int>{14, 9}));  // 78 km/h: 28 / 2; 30 km/h: 28 / 3
    EXPECT_EQ(stepValue(loco, 3), 78);
    EXPECT_EQ(stepValue(loco, 2), 30);
    EXPECT_EQ(stepValue(loco, 1), 31);
    tick(100);
    EXPECT_EQ(frmCurve->Tag, 1);
    EXPECT_EQ(gCurveStep, 1);
}

TEST_F(CurveDialog, StopEndsTheRunAndStopsTheLocomotive) {
    open(3);
    startCalibration();
    ASSERT_TRUE(tickUntil(4));
    ASSERT_EQ(loco->targetStep, 3);
    QTest::keyClick(frmCurve, Qt::Key_Escape);  // during a run Esc acts on "STOP"
    EXPECT_TRUE(frmCurve->isVisible());
    EXPECT_EQ(frmCurve->Tag, 1);
    EXPECT_EQ(loco->targetStep, 0);
    EXPECT_EQ(frmCurve->btnIjken->text(), "CALIBREREN");
    EXPECT_TRUE(frmCurve->btnAnnuleren->isEnabled());
}

TEST_F(CurveDialog, ClosedDuringARunByTheNetworkOrTheSessionStopItStopsTheLocomotive) {
    for (int how = 0; how < 2; ++how) {
        open(3);
        startCalibration();
        ASSERT_TRUE(tickUntil(4));
        ASSERT_EQ(loco->targetStep, 3);
        if (how == 0) {
            // A client receives the server's speed-curve record for this locomotive: all entries 50.
            std::vector<uint8_t> record = {2, 38, 3, 0, 0, 0};
            record.insert(record.end(), 127, 50);
            record.insert(record.end(), {0, 130, 0});
            netApplyDataRecord(record.data(), static_cast<int>(record.size()));
            EXPECT_EQ(loco->speedTable[126], 50);
        } else {
            closeAllDialogs(0);
        }
        EXPECT_FALSE(frmCurve->isVisible()) << how;
        EXPECT_EQ(frmCurve->Tag, 0) << how;
        EXPECT_EQ(loco->targetStep, 0) << how;
    }
}

}  // namespace
