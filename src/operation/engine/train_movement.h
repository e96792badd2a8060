#pragma once
// Moving trains over the diagram: every vehicle end of a moving train is advanced along the element it
// stands on and handed over to the next element at an element end. The hand-over refuses elements not
// reserved for the train (it halts), lets a shunting train take and release elements, and turns the
// locomotive's heading when the train enters a block.
#include "layout/model/layout_model.h"
#include "operation/model/vehicle_positions.h"  // unitVectorBetween

struct LocoRec;
struct PositionRec;

// Angle output meaning "no segment entered".
constexpr int kNoAngle = 999;

// End flags of moveAlongTrack and findPieceAtPosition.
constexpr int kEndLeading = 0x01;    // the first end moved in 'v' order
constexpr int kEndTrailing = 0x02;   // the last end moved
constexpr int kEndProbeOnly = 0x04;  // only asks whether a next element exists: no halt on failure

// One movement step of a whole train.
void updateTrainPosition(LocoRec* loco);
// Advances one end; angle receives the angle of a segment entered (kNoAngle none) and length its section
// length. follower (may be null) is re-placed dist behind the end while both stand on one segment.
// 1 while the end is on the track.
int moveAlongTrack(PositionRec& end, int flags, PositionRec* follower, int dist, LocoRec* loco, int& angle,
                   float& length);
// Hands the end over to the next element: 1 entered, 0 refused or none.
int findPieceAtPosition(PositionRec& end, int flags, LocoRec* loco, int& angle, float& length);
// Hands the end over to the element whose end lies at its point (not its own), by the layout's geometry
// alone and entered as a running end would be; it keeps no element and reserves nothing. 1 found.
int probeNextPiece(PositionRec& end);
// Re-places the follower dist behind the leading end when both stand on the same element and segment.
void placeFollowerBehind(const PositionRec& lead, PositionRec& follower, int dist);
