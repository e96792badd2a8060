#include "operation/control/dialog_refresh.h"

// The dialogs are not built yet; nothing shows these values.
void refreshLocoSpeedReadouts(const LocoRec*) {}
void refreshLocoFunctionPanels(const LocoRec*) {}
void refreshFunctionDecoderDialog(const FunctionDecoderRec*) {}
void refreshWagonPercent(const WagonRec*) {}
void refreshWagonRow(const WagonRec*) {}
void showWagonDialogPhoto(const QImage&) {}
void refreshLocoPanel(const LocoRec*) {}
void refreshLocoPanelWait(const LocoRec*, int) {}
void refreshLocoKmCounters(const LocoRec*) {}
void refreshRouteDialog(const LocoRec*) {}
void refreshTrainLength(const LocoRec*) {}
