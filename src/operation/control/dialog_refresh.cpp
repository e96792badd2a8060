#include "operation/control/dialog_refresh.h"

#include <QComboBox>
#include <QLabel>

#include "operation/control/control_post.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
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
    refreshDrivingPanelSpeed(loco);
}

void refreshLocoFunctionPanels(const LocoRec* loco) {
    if (LocoRec* t = lokPanelShowing(loco)) refreshFunctionPanels(t);
    refreshDrivingPanelFunctions(loco);
}

void refreshFunctionDecoderDialog(const FunctionDecoderRec* decoder) {
    if (frmFunctieDec && frmFunctieDec->isVisible() && decoder && decoder == gCurFunctionDecoder)
        frmFunctieDec->FormActivate();
}

void refreshWagonPercent(const WagonRec* wagon) {
    if (frmWagons) frmWagons->refreshPercent(wagon);
}

void refreshWagonRow(const WagonRec* wagon) {
    if (frmWagons) frmWagons->refreshRow(wagon);
    if (frmTrein) frmTrein->refreshWagonRow(wagon);
}

void showWagonDialogPhoto(const QImage& picture) {
    if (frmWagons) frmWagons->showPhoto(picture);
}

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
    if (frmTrein && frmTrein->isVisible()) frmTrein->showKmCounters(loco);
}

void refreshRouteDialog(const LocoRec* loco) {
    refreshRouteDialogFor(loco);
}

void refreshTrainLength(const LocoRec* loco) {
    if (frmTrein && frmTrein->isVisible()) frmTrein->showTrainLength(loco);
}

void refreshTrainMaxSpeed(const LocoRec* loco) {
    if (frmTrein && frmTrein->isVisible()) frmTrein->showMaxSpeed(loco);
}
