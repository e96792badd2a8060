#pragma once
// The running engine: one step of every train per main-cycle tick, the feedback poll and the decoding of
// a new feedback image, the accessory scheduler, double turnouts and helper locomotives.
#include <cstdint>

#include "operation/model/train_model.h"

struct WagonRec;

void runTrainsCycle();

// One ramp stage of the locomotive's speed when it is due (part of runTrainsCycle).
void rampLocoSpeed(LocoRec* loco);
// The stage itself, on the locomotive's steps and times only: -1 when none is due, 1 when the
// locomotive came to a stand, else 0. The network client mirrors the server's ramp with it.
int rampStage(LocoRec* loco);
// Counts down the hold after a direction change; when it runs out the train stops (a route train creeps
// on at step 1). True when no hold is left.
bool countDownDirectionHold(LocoRec* l);

// Sorts locomotive pointers by number, ascending; equal numbers keep their order.
template <class Table>
void sortByAddress(Table& table) {
    table.stableSort([](const LocoRec& a, const LocoRec& b) { return a.number < b.number; });
}

// The wagons of a train one by one: set gVehicleWalkState to 0, then call until it answers null.
// States: 0 first wagon of the front chain, 1 its next ones, 2 first of the rear chain, 3 its next ones.
extern uint8_t gVehicleWalkState;
extern WagonRec* gVehicleWalkWagon;
WagonRec* nextVehicleOfTrain(LocoRec* loco);
