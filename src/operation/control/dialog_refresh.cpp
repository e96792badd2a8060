#include "operation/control/dialog_refresh.h"

#include <QComboBox>
#include <QLabel>

#include "operation/control/control_post.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untLok.h"
#include "operation/model/train_model.h"

namespace {
// The locomotive panel when it drives this locomotive.
LocoRec* lokPanelShowing(const LocoRec* loco) {
    LocoRec* shown = frmLok ? frmLok->drivenLoco() : nullptr;
    return shown == loco ? shown : nullptr;
}
}  // namespace

void refreshLocoSpeedReadouts(const LocoRec* loco) {
    if (!loco) return;
    if (LocoRec* t = lokPanelShowing(loco)) frmLok->showSpeed(t);
    if (frmCurve && gCurveLoco == loco && frmCurve->isVisible()) {
        const int steps = loco->run.speedSteps;
        const int step = loco->run.lastStepSent;
        const int entry = steps > 0 ? std::min(step * 126 / steps, kSpeedTableSize - 1) : 0;
        frmCurve->lblActStap->setText(QString::number(step));
        frmCurve->lblActSnelh->setText(QString::number(loco->speedTable[entry]));
    }
}

void refreshLocoFunctionPanels(const LocoRec* loco) {
    if (LocoRec* t = lokPanelShowing(loco)) refreshFunctionPanels(t);
}

void refreshFunctionDecoderDialog(const FunctionDecoderRec*) {}
void refreshWagonPercent(const WagonRec*) {}
void refreshWagonRow(const WagonRec*) {}
void showWagonDialogPhoto(const QImage&) {}
void refreshLocoPanel(const LocoRec* loco) {
    if (!loco || !frmLok || !frmLok->isVisible() || gCurLoc != loco) return;
    if (LocoRec* t = lokPanelShowing(loco)) frmLok->showDrivingValues(t);
    frmLok->cboSecSoort->setCurrentIndex(loco->contactRole <= 6 ? loco->contactRole : 0);
}

void refreshLocoPanelWait(const LocoRec* loco, int wait) {
    if (lokPanelShowing(loco)) frmLok->showWait(wait);
}

void refreshLocoKmCounters(const LocoRec* loco) {
    if (LocoRec* t = lokPanelShowing(loco)) frmLok->showKmCounters(t);
}
void refreshRouteDialog(const LocoRec*) {}
void refreshTrainLength(const LocoRec*) {}

// The train dialog has no maximum-speed field to refresh yet.
void refreshTrainMaxSpeed(const LocoRec*) {}

void forgetLocoInDialogs(const LocoRec* loco) {
    if (!loco) return;
    closeSpeedCurveOf(loco);
    if (gCurLoc == loco) {
        if (frmLok && frmLok->isVisible()) frmLok->close();
        gCurLoc = nullptr;
    }
}
