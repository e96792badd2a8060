#pragma once
// Coupling and uncoupling wagons, and finding the wagon under the mouse point (gMousePoint).
struct LocoRec;
struct WagonRec;

// Cuts the train at the wagon; the cut-off wagons stay on the track as loose wagons. 1 done, 0 when the
// wagon does not belong to the locomotive.
int uncoupleWagons(LocoRec* loco, WagonRec* wagon);

struct WagonHit {
    LocoRec* loco = nullptr;   // mode 3: the locomotive whose chains are tested; the owner of the wagon hit
    WagonRec* wagon = nullptr;
    WagonRec* first = nullptr;  // the first wagon of its run or chain
    int code = 0;
    int row = -1;               // pickTrainWagonAt: the locomotive's control-post row
};
// The wagon whose line lies under the mouse point: mode 1 every wagon on the track, 2 and 4 the coupled
// ones, 3 the chains of hit.loco. 411 or 0.
int pickWagonAt(WagonHit& hit, int mode);
// The train under the mouse point, a wagon or the gap between two vehicles. 411 or 0.
int pickTrainWagonAt(WagonHit& hit);
