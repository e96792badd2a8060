#pragma once
// Placing whole trains on the track, their length and their ramp timing.
#include <string>
#include <vector>

#include "operation/model/speed_curve.h"  // calcStepDelay

struct BlockRec;
struct LocoRec;
struct PositionRec;
struct WagonRec;

// The train's end on the head side: the front of the rear chain's first wagon, else the head.
PositionRec& headSideEnd(LocoRec& loco);
// The last wagon of a chain (null for none).
WagonRec* lastWagonOf(WagonRec* first);

// The train's length in layout units: the locomotive (20 model centimetres) and every wagon of both
// chains with its coupling gap (length units + 6).
int trainLengthUnits(const LocoRec& loco);
// 1 when the train fits its head block (it then stores its length).
int checkTrainLength(LocoRec* loco);
// The train dialog's read-outs of the length: "Lange trein" or "Korte trein", and "%d cm / %d pix".
std::string trainLengthKindText(const LocoRec& loco);
std::string trainLengthText(const LocoRec& loco);
// 1 when the train stands (or show is 0) wholly on its block.
int isTrainStoppedOnBlock(LocoRec* loco, int show);
// Places the whole train on the block; mode 0 put on the track, 1 correction at a contact, 2 re-place.
int placeTrainOnBlock(LocoRec* loco, BlockRec* block, int mode);

// Units from the vehicle end to the block's 'H' end (towardH) or 'T' end.
float distanceToBlockEnd(const PositionRec& end, const BlockRec& block, bool towardH);
// Puts the vehicle end d units from the block's 'H' end (towardH) or 'T' end, travelling toward that end
// when same. angle and length receive its section's angle and length. 0 when d lies outside the block.
int placeAxleAtDistance(PositionRec& end, BlockRec* block, int& angle, float& length, float d, bool towardH,
                        bool same);
// Puts the wagons of a chain one after another from r on (front, then rear length units further, then
// a coupling gap of 6); r is left after the last gap. Mode 0 also stores the drawn positions.
int placeWagonChain(WagonRec* first, BlockRec* block, float& r, bool towardH, bool same, int mode);
// Learns the block's approach correction from where the train stands against where it should (a
// units from the block end). 0 when it stands too far off to learn from, or not in the block.
int correctApproachSpeed(LocoRec* loco, BlockRec* block, int a);

// Every vehicle position of the train: the head, then both ends of each wagon, rear chain first.
using TrainPositionImage = std::vector<PositionRec>;
// Saves the positions into image, or (restore 1) puts them back from it.
void saveTrainPosition(TrainPositionImage& image, LocoRec* loco, int restore);

// Moves the train along its track so that a vehicle end (the wagon's, or the head's without one; mode
// selects the end) stands at the mouse point; 1 moved.
int placeTrainOnConnection(LocoRec* loco, WagonRec* wagon, int mode);

struct PathRec;
// The train no longer holds the elements it stood on by presence (keep stays held).
void releasePresenceHolds(LocoRec* loco, BlockRec* keep);
// The train holds the element of the path record because a vehicle of it stands there.
void holdElementByPresence(LocoRec* loco, const PathRec& rec);
