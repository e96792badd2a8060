#pragma once
// What the turnout, signal and output dialogs share about accessory addresses.
#include "layout/model/layout_model.h"

class QLineEdit;

constexpr int kFirstVirtualAddress = 2048;  // numbers from here on have no decoder
constexpr int kMaxAccessoryNumber = 9999;
constexpr int kMaxPulseTime = 50;

// The decoder entry of gAccessoryState that holds address a (1..2047): four addresses per decoder.
AccessoryDecoderRec& decoderEntryOf(int address);
// The pulse-time field limited to 0..50, written back when it was outside.
void clampPulseTimeField(QLineEdit* field);
