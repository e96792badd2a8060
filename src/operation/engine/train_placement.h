#pragma once
// Placing whole trains on the track, their length and their ramp timing.
#include "operation/model/speed_curve.h"  // calcStepDelay

struct BlockRec;
struct LocoRec;

// 1 when the train fits its head block.
int checkTrainLength(LocoRec* loco);
// 1 when the train stands (or show is 0) wholly on its block.
int isTrainStoppedOnBlock(LocoRec* loco, int show);
// Places the whole train on the block; mode 0 put on the track, 1 correction at a contact, 2 re-place.
int placeTrainOnBlock(LocoRec* loco, BlockRec* block, int mode);
struct WagonRec;
// Moves the train along its track so that a vehicle end (the wagon's, or the head's without one; mode
// selects the end) stands at the mouse point; 1 moved.
int placeTrainOnConnection(LocoRec* loco, WagonRec* wagon, int mode);
