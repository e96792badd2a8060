#include "operation/control/dialog_refresh.h"

#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTraject.h"

// The locomotive panel, the speed-curve, function-decoder, wagon and train dialogs are not built yet;
// nothing else shows these values.
void refreshLocoSpeedReadouts(const LocoRec* loco) {
    refreshDrivingPanelSpeed(loco);
}
void refreshLocoFunctionPanels(const LocoRec* loco) {
    refreshDrivingPanelFunctions(loco);
}
void refreshFunctionDecoderDialog(const FunctionDecoderRec*) {}
void refreshWagonPercent(const WagonRec*) {}
void refreshWagonRow(const WagonRec*) {}
void showWagonDialogPhoto(const QImage&) {}
void refreshLocoPanel(const LocoRec*) {}
void refreshLocoPanelWait(const LocoRec*, int) {}
void refreshLocoKmCounters(const LocoRec*) {}
void refreshRouteDialog(const LocoRec* loco) {
    refreshRouteDialogFor(loco);
}
void refreshTrainLength(const LocoRec*) {}
