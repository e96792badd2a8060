#pragma once
// What the operation dialogs show of a locomotive or decoder, refreshed when the link side changes it.
class QImage;
struct FunctionDecoderRec;
struct LocoRec;
struct WagonRec;

// The speed read-outs of the locomotive panel, the driving panel and the speed-curve dialog.
void refreshLocoSpeedReadouts(const LocoRec* loco);
// The function panels of the locomotive panel and the driving panel.
void refreshLocoFunctionPanels(const LocoRec* loco);
// The function-decoder dialog when it shows this decoder.
void refreshFunctionDecoderDialog(const FunctionDecoderRec* decoder);
// The wagon's fill percentage in its row of the wagon table, when the table is visible.
void refreshWagonPercent(const WagonRec* wagon);
// The wagon's row in the wagon table (with its picture and photo cell) and in the train dialog's
// grid, where they show it.
void refreshWagonRow(const WagonRec* wagon);
// The wagon dialog's photo shows the picture.
void showWagonDialogPhoto(const QImage& picture);
// The locomotive panel when it shows this locomotive (its contact role, speed and wait).
void refreshLocoPanel(const LocoRec* loco);
// The wait label of the locomotive panel when it drives this locomotive.
void refreshLocoPanelWait(const LocoRec* loco, int wait);
// The kilometre counters of the locomotive panel and the train dialog when they show this locomotive
// (each edit only while it is read-only).
void refreshLocoKmCounters(const LocoRec* loco);
// The route dialog when it shows this locomotive's route progress.
void refreshRouteDialog(const LocoRec* loco);
// The train dialog's length read-outs when it shows this locomotive.
void refreshTrainLength(const LocoRec* loco);
// The train dialog's maximum speed when it shows this locomotive (after its speed curve changed).
void refreshTrainMaxSpeed(const LocoRec* loco);
