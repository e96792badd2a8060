#pragma once
// What the operation dialogs show of a locomotive or decoder, refreshed when the link side changes it.
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
