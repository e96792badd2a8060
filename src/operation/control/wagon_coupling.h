#pragma once
// Wagons on the track: finding them under the mouse point, uncoupling and taking them off.
struct LocoRec;
struct WagonRec;

// The wagon whose line from front to rear end passes the mouse point: mode 1 every wagon on the track
// (loose and coupled, tolerance 3), 2 the coupled ones (3), 4 the coupled ones (4), 3 the two chains of
// the given locomotive (2). 411 with the wagon, the first wagon of its run or chain, its owner (null
// for a loose wagon) and the line test's answer (1 first half, 2 second half); else 0.
int pickWagonAt(LocoRec*& loco, WagonRec*& wagon, WagonRec*& first, int& hitCode, int mode);
// Uncouples the locomotive's train at the wagon; 1 done, 0 the wagon is not in this train.
int uncoupleWagons(LocoRec* loco, WagonRec* wagon);
// Takes the wagon off the track (redraw: erase it from the diagram too).
int takeWagonOffTrack(WagonRec* wagon, int redraw);
