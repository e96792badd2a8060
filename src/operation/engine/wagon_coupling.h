#pragma once
// Coupling loose wagons to a train, uncoupling, and finding the wagon under the mouse point (gMousePoint).
struct LocoRec;
struct PositionRec;
struct WagonRec;

// Couples the loose wagons the train has met; 1 coupled, 0 nothing to couple or refused.
int coupleTrain(LocoRec* loco);
// Couples the loose run that starts with the wagon to the train's end in its direction of travel
// (reversed: the run is met at its last wagon's rear). 0 for a wagon that does not start a loose run,
// or when the train would exceed its 20 wagons.
int coupleLooseRun(LocoRec* loco, WagonRec* firstOfRun, bool reversed);
// True when candidate lies beyond end in the direction (dx, dy): along x when dx is not 0, else along y.
bool pointBeyondWagon(const PositionRec& candidate, const PositionRec& end, float dx, float dy);
// Cuts the train at the wagon; the cut-off wagons stay on the track as loose wagons. 1 done, 0 when the
// wagon does not belong to the locomotive.
int uncoupleWagons(LocoRec* loco, WagonRec* wagon);

struct WagonHit {
    LocoRec* loco = nullptr;    // mode 3: the locomotive whose chains are tested; the owner of the wagon hit
    WagonRec* wagon = nullptr;
    WagonRec* first = nullptr;  // the first wagon of its run or chain
    int code = 0;
    int row = -1;               // pickTrainWagonAt: the locomotive's control-post row
};
// The wagon whose line from front to rear end passes the mouse point: mode 1 every wagon on the track
// (loose and coupled, tolerance 3), 2 the coupled ones (3), 4 the coupled ones (4), 3 the two chains of
// hit.loco (2). 411 with the wagon, the first wagon of its run or chain, its owner (null for a loose
// wagon) and the line test's answer (1 first half, 2 second half) in hit; else 0.
int pickWagonAt(WagonHit& hit, int mode);
// The train under the mouse point, a wagon or the gap between two vehicles. 411 or 0.
int pickTrainWagonAt(WagonHit& hit);
// Takes the wagon off the track (redraw: erase it from the diagram too): a coupled wagon first uncouples
// its train there; it ends up as the first wagon of the off-track zone. 1, or 0 (nothing changes) for a
// wagon that is not on the track.
int takeWagonOffTrack(WagonRec* wagon, int redraw);
// Clears the wagon-present mark of the element under each end of the wagon, unless another loose wagon
// has an end on that element.
void clearWagonOccupancy(WagonRec* wagon);
// Couples an off-track wagon into the train before place n of the sequence rear chain (outermost first),
// locomotive, front chain; n equal to the sequence's length appends it to the front chain. 1 placed; 0
// with the wagon still linked when the train no longer fits its block; 0 with nothing changed for a
// place beyond the sequence or a wagon that is coupled or on the track.
int coupleWagon(LocoRec* loco, WagonRec* wagon, int n);
// Takes the wagon out of the locomotive's chains and clears its positions and links; the chains are
// relinked, so it leaves the coupled zone (toFreeZone: as the first wagon of the off-track zone).
void unlinkWagon(WagonRec* wagon, LocoRec* loco, int toFreeZone);
