#include "operation/control/dialog_refresh.h"

#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/control/control_post.h"

// The dialogs are not built yet; nothing shows these values.
void refreshLocoSpeedReadouts(const LocoRec*) {}
void refreshLocoFunctionPanels(const LocoRec*) {}

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

void refreshRouteDialog(const LocoRec*) {}

void refreshTrainLength(const LocoRec* loco) {
    if (frmTrein && frmTrein->isVisible()) frmTrein->showTrainLength(loco);
}
