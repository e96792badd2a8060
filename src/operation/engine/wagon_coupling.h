#pragma once
// Coupling loose wagons to a train.
struct LocoRec;
struct PositionRec;
struct WagonRec;

// Couples the loose wagons the train has met; 1 coupled, 0 nothing to couple or refused.
int coupleTrain(LocoRec* loco);
// True when candidate lies beyond end in the direction (dx, dy): along x when dx is not 0, else along y.
bool pointBeyondWagon(const PositionRec& candidate, const PositionRec& end, float dx, float dy);
// The wagon whose line from front to rear end passes the mouse point: mode 1 every wagon on the track
// (loose and coupled, tolerance 3), 2 the coupled ones (3), 4 the coupled ones (4), 3 the two chains of
// the given locomotive (2). 411 with the wagon, the first wagon of its run or chain, its owner (null
// for a loose wagon) and the line test's answer (1 first half, 2 second half); else 0.
int pickWagonAt(LocoRec*& loco, WagonRec*& wagon, WagonRec*& first, int& hitCode, int mode);
// Uncouples the locomotive's train at the wagon; 1 done, 0 the wagon is not in this train.
int uncoupleWagons(LocoRec* loco, WagonRec* wagon);
// Takes the wagon off the track (redraw: erase it from the diagram too).
int takeWagonOffTrack(WagonRec* wagon, int redraw);
