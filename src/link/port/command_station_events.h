#pragma once
// What the command station reports from its own keyboard, taken over by the model (GUI thread).
#include <cstdint>
#include <vector>

struct LocoRec;
struct OutputRec;
struct SignalRec;
struct TurnoutRec;

// One XEvtLok record (5 bytes) as the model should take it.
struct LocoEvent {
    LocoRec* loco = nullptr;  // none: the record ends the list
    int step = -1;            // the step to set, -1 none
    bool reverse = false;
    uint8_t functions = 0;    // F1..F4 in bits 0..3, F0 in bit 4, as the command station has them
};
// The locomotive on the track that a record names (bytes numbered from 0): its address is byte 2
// (low) and bits 0..5 of byte 3 (high); an address above 255 names none, since the program's events
// carry only the low byte.
LocoEvent readLocoEvent(const uint8_t* record);

// One XEvtTrn record (address low byte, state: bit 7 green) as the model should take it: the element
// to toggle or operate, or none when it already agrees.
struct AccessoryEvent {
    TurnoutRec* turnout = nullptr;
    SignalRec* signal = nullptr;
    OutputRec* output = nullptr;
};
AccessoryEvent readAccessoryEvent(uint8_t address, uint8_t state);

// Applies the records of an XEvtLok answer (5 bytes each), up to the first that names no locomotive.
void applyLocoEvents(const std::vector<uint8_t>& records);
// Applies every record of an XEvtTrn answer (2 bytes each).
void applyAccessoryEvents(const std::vector<uint8_t>& records);

// F1..F8 (F1 in bit 0) of the locomotive on the track with that number, else of the function decoder
// with that address; -1 when there is neither.
int functionBitsForAddress(uint16_t address);
