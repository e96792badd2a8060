// The turntable dialog on the running program: its clamps and address range, the ring's connected
// positions, what OK sends to network peers, and its timer turning the bridge with a stepped clock.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <memory>
#include <vector>

#include "layout/dialogs/untDraaischijf.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/turntable_operation.h"
#include "layout/layout_builder.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/model/turntable_state.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/engine/second_tick.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"

namespace {

constexpr uint8_t kTurnCw = 0x08;

class TurntableDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        LayoutBuilder().turntable(1, {300, 200}, {380, 200}, 12);
        gSelectedTurntable = gTurntables[0];
    }
    void TearDown() override {
        if (frmDraaischijf->isVisible()) frmDraaischijf->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
        gRunWithoutTrack = 0;
        gSelectedTurntable = nullptr;
    }
    static void type(QLineEdit* field, const QString& text) {
        field->setText(text);
        emit field->editingFinished();
    }
    static std::vector<int> connected(const TurntableRec& t) {
        return {t.positionOfConnection, t.positionOfConnection + t.positions};
    }
    static std::vector<uint8_t> queued() { return {gNetOutBuffer, gNetOutBuffer + gNetOutFill}; }
    // Runs the dialog's timer, one model second per 20 ticks, until done or at most ticks times.
    static void tick(int ticks, bool (*done)() = nullptr) {
        for (int k = 0; k < ticks && !(done && done()); ++k) {
            gMsTick += 50;
            if (k % 20 == 19) gModelClock.seconds = (gModelClock.seconds + 1) % 60;
            frmDraaischijf->Timer1Timer();
        }
    }
    RunningProgram program;
};

TEST_F(TurntableDialog, FieldsAreClampedAndTheAddressRangeFollowsTheStartAddress) {
    TurntableRec& t = *gTurntables[0];
    frmDraaischijf->show();
    EXPECT_EQ(gActiveDialog, 11);
    EXPECT_EQ(frmDraaischijf->windowTitle(), "Draaischijf");
    EXPECT_EQ(frmDraaischijf->edtMaxPos->text(), "12");
    EXPECT_TRUE(frmDraaischijf->lblDiameter->text().startsWith("Diameter  "));
    type(frmDraaischijf->edtMaxPos, "30");
    EXPECT_EQ(frmDraaischijf->edtMaxPos->text(), "24");
    EXPECT_EQ(t.positions, 24);  // applied at once
    type(frmDraaischijf->edtMaxPos, "3");
    EXPECT_EQ(frmDraaischijf->edtMaxPos->text(), "6");
    EXPECT_EQ(t.positions, 6);
    const struct {
        QLineEdit* field;
        const char* typed;
        const char* shown;
    } clamps[] = {{frmDraaischijf->edtNummer, "7", "3"},      {frmDraaischijf->edtNummer, "0", "1"},
                  {frmDraaischijf->edtSnelheid, "5", "10"},   {frmDraaischijf->edtSnelheid, "150", "100"},
                  {frmDraaischijf->edtInPos, "500", "496"},   {frmDraaischijf->edtBezet, "999", "496"},
                  {frmDraaischijf->edtPulstijd, "0", "1"},    {frmDraaischijf->edtPulstijd, "25", "20"},
                  {frmDraaischijf->edtTimeout, "30", "20"},   {frmDraaischijf->edtNalooptijd, "60", "50"}};
    for (const auto& c : clamps) {
        SCOPED_TRACE(c.field->objectName().toStdString() + " " + c.typed);
        type(c.field, c.typed);
        EXPECT_EQ(c.field->text(), c.shown);
    }

    frmDraaischijf->edtStartadres->setText("225");
    frmDraaischijf->edtStartadresChange();
    EXPECT_EQ(frmDraaischijf->cboAdresgebied->currentText(), "15");
    EXPECT_EQ(frmDraaischijf->lblAdresTzin2->text(), "226");
    frmDraaischijf->edtStartadres->setText("300");
    frmDraaischijf->edtStartadresChange();
    EXPECT_EQ(frmDraaischijf->cboAdresgebied->currentIndex(), -1);
    EXPECT_EQ(frmDraaischijf->lblAdresTzin2->text(), "301");
    frmDraaischijf->edtStartadres->setText("3000");
    frmDraaischijf->edtStartadresChange();
    EXPECT_EQ(frmDraaischijf->edtStartadres->text(), "2047");
    frmDraaischijf->cboAdresgebied->setCurrentIndex(0);
    frmDraaischijf->cboAdresgebiedChange();
    EXPECT_EQ(frmDraaischijf->edtStartadres->text(), "209");
    frmDraaischijf->edtStartadres->setText("0");
    frmDraaischijf->edtStartadresChange();
    EXPECT_EQ(frmDraaischijf->lblAdresTzin2->text(), "0");
}

TEST_F(TurntableDialog, RingEndsSwitchSlotsAndTheConnectedPositionsAreNumberedInOrder) {
    TurntableRec& t = *gTurntables[0];
    std::fill(std::begin(t.positionOfConnection), std::end(t.positionOfConnection), 0);
    t.positionOfConnection[0] = 1;
    frmDraaischijf->show();
    const std::vector<int> none = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const int end : {1, 13, 0, -3, 25, 200}) {  // slot 0, or no end of this ring
        toggleTurntableOnDiagram(&t, end);
        EXPECT_EQ(connected(t), none) << end;
    }
    toggleTurntableOnDiagram(&t, 5);
    EXPECT_EQ(connected(t), (std::vector<int>{1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
    toggleTurntableOnDiagram(&t, 3);
    EXPECT_EQ(connected(t), (std::vector<int>{1, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
    toggleTurntableOnDiagram(&t, 24);  // the opposite end of slot 11
    EXPECT_EQ(connected(t), (std::vector<int>{1, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 4}));
    ASSERT_EQ(frmDraaischijf->cboDoelpos->count(), 4);
    EXPECT_EQ(frmDraaischijf->cboDoelpos->itemText(3), "4");
    toggleTurntableOnDiagram(&t, 15);  // slot 2 from its opposite end
    EXPECT_EQ(connected(t), (std::vector<int>{1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 3}));
    EXPECT_EQ(frmDraaischijf->cboDoelpos->count(), 3);
    frmDraaischijf->cboDoelpos->setCurrentIndex(2);
    frmDraaischijf->cboDoelposChange();
    EXPECT_EQ(gTurntableTarget, 12);

    // Lowering the positions leaves no connection and no end beyond the ring.
    t.currentPosition = 24;
    t.secondPosition = 17;
    type(frmDraaischijf->edtMaxPos, "8");
    EXPECT_EQ(connected(t), (std::vector<int>{1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(t.positionOfConnection[11], 0);
    EXPECT_EQ(t.currentPosition, 1);
    EXPECT_EQ(t.secondPosition, 1);
}

// 26 bytes from the system byte, the last 6 being the start address and both inputs, for the role that
// matches.
TEST_F(TurntableDialog, OkSendsTheTurntableRecord) {
    for (const uint8_t state : {30, 40}) {
        SCOPED_TRACE(int(state));
        LayoutBuilder().turntable(2, {100, 100}, {180, 100}, 6).turntable(3, {300, 200}, {380, 200}, 12);
        TurntableRec& t = *gTurntables[1];
        gSelectedTurntable = &t;
        gNetLinkState = state;
        gNetOutFill = 0;
        frmDraaischijf->show();
        type(frmDraaischijf->edtNummer, "2");
        frmDraaischijf->btnOK->click();
        EXPECT_EQ(frmBoodschap->tekst(), "Dit nummer is reeds gebruikt !");
        frmBoodschap->btnOK->click();
        EXPECT_EQ(gNetOutFill, 0);
        type(frmDraaischijf->edtNummer, "1");
        type(frmDraaischijf->edtSnelheid, "40");
        type(frmDraaischijf->edtInPos, "300");
        type(frmDraaischijf->edtBezet, "258");
        type(frmDraaischijf->edtPulstijd, "3");
        type(frmDraaischijf->edtTimeout, "5");
        type(frmDraaischijf->edtNalooptijd, "7");
        frmDraaischijf->cboSysteem->setCurrentIndex(1);
        frmDraaischijf->edtStartadres->setText("225");
        frmDraaischijf->edtMaxPos->setText("8");  // applied by OK, which keeps the other typed values
        frmDraaischijf->btnOK->click();
        EXPECT_FALSE(frmDraaischijf->isVisible());
        EXPECT_EQ(t.number, 1);
        EXPECT_FLOAT_EQ(t.angularSpeed, 40 * 0.1f * 0.001f);
        const std::vector<uint8_t> expected = {10, 37, 1, 0, 1, 0,            // kind, code, turntable 1, index 1
                                               1, 8, 1, 1, t.positionSpacing,   // system, positions, ends
                                               40, 3, 5, 0, 7,                  // speed, pulse, time-out, counter, run-on
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    // unnamed bytes
                                               225, 0, 0x2C, 0x01, 0x02, 0x01};  // start address, inputs
        EXPECT_EQ(queued(), expected);
        gNetLinkState = 0;
    }
}

class TurntableTimer : public TurntableDialog {
protected:
    void SetUp() override {
        TurntableDialog::SetUp();
        TurntableRec& t = *gTurntables[0];
        t.decoderSystem = 1;
        t.angularSpeed = 0.01f;
        t.currentAngle = t.bridgeAngle;
        std::fill(std::begin(t.positionOfConnection), std::begin(t.positionOfConnection) + 12, 1);
        gRunWithoutTrack = 1;
    }
    // The bridge ends at ring end e, computed exactly.
    static TrackRec endsAt(TurntableRec& t, int e) {
        TrackRec ends = *t.track;
        turntableBridgeEnds(&t, static_cast<float>(normalizeRadians((e - 1) * 3.14159 / t.positions + t.bridgeAngle)), &ends);
        return ends;
    }
    static LocoRec* locoOnBridge(TurntableRec& t) {
        auto rec = std::make_unique<LocoRec>();
        rec->number = 12;
        PositionRec& h = rec->run.head;
        h.track = t.track;
        h.x = 310;
        h.y = 200;
        h.ix = 310;
        h.iy = 200;
        h.sectionA = 0;
        h.sectionB = 1;
        LocoRec* l = gLocs.append(std::move(rec));
        l->slot = static_cast<int16_t>(gLocs.indexOf(l));
        gLocsOnTrack.append(l);
        t.track->locoOnIt = static_cast<uint8_t>(l->slot + 1);
        return l;
    }
};

TEST_F(TurntableTimer, TheBridgeStopsExactlyOnTheTarget) {
    TurntableRec& t = *gTurntables[0];
    turntableStateFlags(t) |= kTurnCw;
    t.secondPosition = 4;
    tick(1000, [] { return gTurntables[0]->currentPosition == 4; });
    ASSERT_EQ(t.currentPosition, 4);
    const TrackRec exact = endsAt(t, 4);
    EXPECT_EQ(t.track->points[0], exact.points[0]);
    EXPECT_EQ(t.track->points[1], exact.points[1]);
    EXPECT_NEAR(t.currentAngle, normalizeRadians(3 * 3.14159 / 12 + t.bridgeAngle), 1e-5);
    tick(200);  // still turning, but at its target: it stays
    EXPECT_EQ(t.track->points[0], exact.points[0]);
    EXPECT_EQ(t.currentPosition, 4);
    // Outside a session the timer does nothing.
    gRunWithoutTrack = 0;
    t.secondPosition = 7;
    tick(100);
    EXPECT_EQ(t.currentPosition, 4);
}

TEST_F(TurntableTimer, ASystem1TurntableStopsAfterItsTimeOut) {
    TurntableRec& t = *gTurntables[0];
    t.decoderSystem = 0;
    t.timeout = 2;
    turntableStateFlags(t) |= kTurnCw;
    t.secondPosition = 2;
    tick(1000, [] { return gTurntables[0]->currentPosition == 2; });
    ASSERT_EQ(t.currentPosition, 2);
    EXPECT_EQ(turntableTimeoutCounter(t), 2);
    tick(20 * 3);
    EXPECT_EQ(turntableTimeoutCounter(t), 0);
    EXPECT_EQ(turntableStateFlags(t) & kTurnCw, 0);  // command 3 stopped it
}

TEST_F(TurntableTimer, ALoneLocomotiveTurnsWithTheBridgeAndACoupledTrainHoldsIt) {
    TurntableRec& t = *gTurntables[0];
    LocoRec* loco = locoOnBridge(t);
    const float speedFactor = gSpeedFactor;
    gSpeedFactor = 2.5f;
    turntableStateFlags(t) |= kTurnCw;
    t.secondPosition = 7;  // half a turn
    tick(1000, [] { return gTurntables[0]->currentPosition == 7; });
    ASSERT_EQ(t.currentPosition, 7);
    EXPECT_EQ(t.loco, loco);
    EXPECT_FLOAT_EQ(loco->run.head.x, t.centre[0]);
    EXPECT_FLOAT_EQ(loco->run.head.y, t.centre[1]);
    EXPECT_NEAR(loco->run.head.dx * gSpeedFactor, std::cos(t.currentAngle), 1e-4);
    EXPECT_NEAR(loco->run.head.dy * gSpeedFactor, std::sin(t.currentAngle), 1e-4);

    WagonRec wagon;
    loco->frontChain = &wagon;
    const TrackRec before = *t.track;
    t.secondPosition = 9;
    tick(300);
    EXPECT_EQ(t.currentPosition, 7);
    EXPECT_EQ(t.track->points[0], before.points[0]);
    loco->frontChain = nullptr;

    // A mark naming no locomotive is cleared.
    t.loco = nullptr;
    t.track->locoOnIt = 200;
    tick(1);
    EXPECT_EQ(t.track->locoOnIt, 0);
    EXPECT_EQ(t.loco, nullptr);
    gLocsOnTrack.clear();
    gLocs.clear();
    gSpeedFactor = speedFactor;
}

}  // namespace
