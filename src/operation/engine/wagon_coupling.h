#pragma once
// Coupling loose wagons to a train.
struct LocoRec;
struct PositionRec;

// Couples the loose wagons the train has met; 1 coupled, 0 nothing to couple or refused.
int coupleTrain(LocoRec* loco);
// True when candidate lies beyond end in the direction (dx, dy): along x when dx is not 0, else along y.
bool pointBeyondWagon(const PositionRec& candidate, const PositionRec& end, float dx, float dy);
