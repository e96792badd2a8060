#include "operation/engine/speed_calibration.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>

#include "layout/model/layout_model.h"
#include "layout/model/parse_number.h"
#include "layout/model/scale.h"
#include "link/buffers/feedback.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untCurve.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"
#include "shell/window/widget_colours.h"

uint8_t gCalNegativeEdge = 0;
uint8_t gCalOneWay = 0;
int16_t gCalInput1 = 0, gCalInput2 = 0;
uint8_t gCalStartSide = 0;
int16_t gCalWatchedInput = 0;
uint8_t gCalLastContact = 0;
int32_t gCalStartTime = 0;
int32_t gCalDeadline = 0;

namespace {

constexpr int kPause = 3000;

bool deadlinePassed() { return msBetween(gMsTick, static_cast<uint32_t>(gCalDeadline)) > 0; }
void setDeadline(int ms) { gCalDeadline = static_cast<int32_t>(gMsTick + static_cast<uint32_t>(ms)); }
int occupied(int input) { return getContactBit(input) ? 1 : 0; }
int16_t inputOf(const QLineEdit* e) { return static_cast<int16_t>(parseNumber(e->text().toStdString())); }
int startInput() { return gCalStartSide == 1 ? gCalInput1 : gCalInput2; }
int endInput() { return gCalStartSide == 1 ? gCalInput2 : gCalInput1; }
QLineEdit* editOf(int side) { return side == 1 ? frmCurve->edtIngang1 : frmCurve->edtIngang2; }

void whiteEdits() {
    setBackColour(frmCurve->edtIngang1, vestrel::clWhite);
    setBackColour(frmCurve->edtIngang2, vestrel::clWhite);
}

void enableEditing(bool on) {
    for (QPushButton* b : {frmCurve->btnOK, frmCurve->btnAnnuleren, frmCurve->btnLineair}) b->setEnabled(on);
}

void start(LocoRec* loco) {
    enableEditing(false);
    if (!loco->running) toggleLocoRun(loco);
    if (gNetLinkState == 40) {
        netQueueRecord(40, 2, 30, loco->number, loco->slot, 1);
    } else {
        for (int k = 0; k < 4 && loco->mode != kModeShunting; ++k)
            if (!cycleLocoMode(loco)) break;
    }
    if (loco->flags & kLocoForce) toggleLocoForce(loco);
    gCalInput1 = inputOf(frmCurve->edtIngang1);
    gCalInput2 = inputOf(frmCurve->edtIngang2);
    gCalStartSide = 0;
    setBackColour(frmCurve->pnlIjken, vestrel::clFuchsia);
    whiteEdits();
    frmCurve->btnIjken->setText("STOP");
    setDeadline(kPause);
    frmCurve->Tag = -2;
}

void stop(LocoRec* loco) {
    enableEditing(true);
    if (loco) setLocoSpeedStep(loco, 0);
    setBackColour(frmCurve->pnlIjken, vestrel::clBtnFace);
    whiteEdits();
    frmCurve->btnIjken->setText("CALIBREREN");
    frmCurve->Tag = 1;
    frmCurve->FormActivate();
}

void reachStart(LocoRec* loco) {
    if (gCalStartSide == 0) {
        if (occupied(gCalInput1)) gCalStartSide = 1;
        else if (occupied(gCalInput2)) gCalStartSide = 2;
        else return;
    }
    if (!occupied(startInput())) return;
    setBackColour(editOf(gCalStartSide), vestrel::clYellow);
    setBackColour(editOf(3 - gCalStartSide), vestrel::clWhite);
    gCalStartTime = static_cast<int32_t>(gMsTick);
    const int v = loco->shownSpeed;
    // Standing (shown speed 0): no blind time, the end input is watched from the next step on.
    setDeadline(v != 0 ? 20000 / v + 2000 : -1);
    frmCurve->Tag = -5;
}

void watchEnd(LocoRec* loco) {
    const uint8_t now = static_cast<uint8_t>(occupied(gCalWatchedInput));
    const bool edge = gCalNegativeEdge ? (!now && gCalLastContact) : (now && !gCalLastContact);
    if (edge) {
        setBackColour(editOf(3 - gCalStartSide), vestrel::clYellow);
        setBackColour(editOf(gCalStartSide), vestrel::clWhite);
        const double cm = std::strtod(frmCurve->edtAfstand->text().replace(',', '.').toStdString().c_str(), nullptr);
        const int speed = measuredSpeed(cm, msBetween(gMsTick, static_cast<uint32_t>(gCalStartTime)));
        frmCurve->lblSnelh->setText(QString::number(speed));
        editSpeedCurve(1, gCurveStep);
        setLocoSpeedStep(loco, 0);
        --gCurveStep;
        if (gCurveStep != 0) {
            setDeadline(kPause);
            frmCurve->Tag = -7;
        }
    }
    gCalLastContact = now;
    if (gCurveStep <= 0) {
        gCurveStep = 1;
        frmCurve->Tag = -12;
    }
}

void driveBack(LocoRec* loco) {
    reverseLoco(loco);
    const int n = loco->run.speedSteps;
    const int measured = parseNumber(frmCurve->lblSnelh->text().toStdString());
    setLocoSpeedStep(loco, measured <= 30 ? n / 3 : n / 2);
    if (gCalStartSide == 1) {
        gCalStartSide = 2;
        gCalWatchedInput = gCalInput1;
    } else {
        gCalStartSide = 1;
        gCalWatchedInput = gCalInput2;
    }
    frmCurve->Tag = 9;
}

}  // namespace

int measuredSpeed(double centimetres, int32_t ms) {
    if (centimetres <= 0) return 0;
    if (ms <= 0) return 255;
    const double kmh = scaleDenominator(gScaleDigit) * centimetres * 36.0 / ms;
    // A table entry holds 0..255: a faster passage is stored as the highest speed, never wrapped.
    return kmh >= 255.0 ? 255 : static_cast<int>(kmh);
}

void runSpeedCalibration(int) {
    if (!frmCurve) return;
    LocoRec* loco = gCurveLoco;
    if (!loco) {
        if (frmCurve->Tag != 0) frmCurve->Tag = 0;
        return;
    }
    switch (frmCurve->Tag) {
        case 1: start(loco); break;
        case -2:
            if (deadlinePassed()) frmCurve->Tag = -3;
            break;
        case -3:
            frmCurve->FormActivate();
            whiteEdits();
            if (gCalStartSide != 0) {
                gCalStartSide = static_cast<uint8_t>(3 - gCalStartSide);
                reverseLoco(loco);
            }
            setLocoSpeedStep(loco, gCurveStep);
            frmCurve->Tag = 4;
            break;
        case 4: reachStart(loco); break;
        case -5:
            if (!deadlinePassed()) break;
            gCalWatchedInput = static_cast<int16_t>(endInput());
            gCalLastContact = static_cast<uint8_t>(occupied(gCalWatchedInput));
            frmCurve->Tag = 6;
            break;
        case 6: watchEnd(loco); break;
        case -7:
            if (!gCalOneWay) frmCurve->Tag = -2;
            else if (deadlinePassed()) frmCurve->Tag = -8;
            break;
        case -8: driveBack(loco); break;
        case 9:
            if (occupied(gCalWatchedInput)) frmCurve->Tag = 10;
            break;
        case 10: {
            if (occupied(gCalWatchedInput)) break;
            const int v = parseNumber(frmCurve->lblSnelh->text().toStdString());
            setDeadline(v != 0 ? v * 1000 / 60 : -1);
            frmCurve->Tag = -11;
            break;
        }
        case -11:
            if (!deadlinePassed()) break;
            setLocoSpeedStep(loco, 0);
            setDeadline(kPause);
            frmCurve->Tag = -2;
            break;
        default: stop(loco); break;
    }
}
