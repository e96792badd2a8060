#pragma once
// No dialog keeps a freed record: whoever frees a locomotive, wagon or function decoder (a dialog,
// the network receiver, the end of a session, a file being loaded) tells the dialogs first. A dialog
// that showed the record shows none (the train and function-decoder dialogs) or closes (the wagon
// table, which lists records).
struct FunctionDecoderRec;
struct LocoRec;
struct WagonRec;

// Before the locomotive is freed: the locomotive panel and the speed-curve dialog close when they
// show it, and function decoders coupled to it are uncoupled.
void forgetLocoRecord(const LocoRec* loco);
// Before the wagon is freed.
void forgetWagonRecord(const WagonRec* wagon);
// Before the decoder is freed; null: before every decoder is freed.
void forgetFunctionDecoderRecord(const FunctionDecoderRec* decoder);
// Before all locomotives and wagons are freed at once.
void forgetAllTrainRecords();
