#include "operation/control/dialog_records.h"

#include "operation/control/control_post.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/model/train_model.h"

namespace {

void refreshTrainDialog(const LocoRec* leaving = nullptr) {
    if (frmTrein && frmTrein->isVisible()) frmTrein->showNoneOrCurrent(leaving);
}

void refreshFunctionDecoderDialog() {
    if (frmFunctieDec && frmFunctieDec->isVisible()) frmFunctieDec->FormActivate();
}

}  // namespace

void forgetLocoRecord(const LocoRec* loco) {
    if (!loco) return;
    closeSpeedCurveOf(loco);
    if (gCurLoc == loco) {
        if (frmLok && frmLok->isVisible()) frmLok->close();
        gCurLoc = nullptr;
    }
    for (FunctionDecoderRec* d : gFunctionDecoders)
        if (d->loco == loco) d->loco = nullptr;
    if (frmWagons && frmWagons->listsChainOf(loco)) frmWagons->close();
    if (gCurTrain == loco) gCurTrain = nullptr;
    refreshTrainDialog(loco);
    refreshFunctionDecoderDialog();
}

void forgetWagonRecord(const WagonRec* wagon) {
    if (!wagon) return;
    if (gCurWagon == wagon) gCurWagon = nullptr;
    if (gCurWagonFirst == wagon) gCurWagonFirst = nullptr;
    if (frmWagons) frmWagons->wagonFreed(wagon);
    if (frmTrein && frmTrein->listsWagon(wagon)) {
        frmTrein->forgetTrainList();
        refreshTrainDialog();
    }
}

void forgetFunctionDecoderRecord(const FunctionDecoderRec* decoder) {
    if (decoder && gCurFunctionDecoder != decoder) return;
    gCurFunctionDecoder = nullptr;
    refreshFunctionDecoderDialog();
}

void forgetAllTrainRecords() {
    if (gCurveLoco) closeSpeedCurveOf(gCurveLoco);
    if (frmLok && frmLok->isVisible()) frmLok->close();
    gCurLoc = nullptr;
    if (frmWagons && frmWagons->isVisible()) frmWagons->close();
    if (frmWagons) frmWagons->wagonFreed(nullptr);
    gCurWagon = gCurWagonFirst = nullptr;
    for (FunctionDecoderRec* d : gFunctionDecoders) d->loco = nullptr;
    if (frmTrein) frmTrein->forgetTrainList();
    gCurTrain = nullptr;
    refreshTrainDialog();
    refreshFunctionDecoderDialog();
}
