#include "operation/control/dialog_refresh.h"

#include "operation/control/control_post.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"

void refreshLocoSpeedReadouts(const LocoRec* loco) {
    refreshDrivingPanelSpeed(loco);
}

void refreshLocoFunctionPanels(const LocoRec* loco) {
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

void refreshLocoPanel(const LocoRec*) {}
void refreshLocoPanelWait(const LocoRec*, int) {}

void refreshLocoKmCounters(const LocoRec* loco) {
    if (frmTrein && frmTrein->isVisible()) frmTrein->showKmCounters(loco);
}

void refreshRouteDialog(const LocoRec* loco) {
    refreshRouteDialogFor(loco);
}

void refreshTrainLength(const LocoRec* loco) {
    if (frmTrein && frmTrein->isVisible()) frmTrein->showTrainLength(loco);
}
