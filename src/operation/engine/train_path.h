#pragma once
// A path along the track for placing a whole train at once: up to 20 straight segments, each of a
// block, a connecting track or a turnout, running from the train's head-side end toward its other end.
#include <cstdint>

#include "layout/model/layout_model.h"

struct LocoRec;
struct PositionRec;

// One straight segment of a path.
struct PathRec {
    float x = 0, y = 0;        // start
    float dx = 0, dy = 0;      // unit direction along the path
    int32_t section = 0;       // start and end point indexes within the element
    int32_t point = 0;
    int32_t ix = 0, iy = 0;    // end
    BlockRec* block = nullptr;
    TurnoutRec* turnout = nullptr;
    TrackRec* track = nullptr;
    float length = 0;
};

constexpr int kMaxPathRecords = 20;

struct TrainPath {
    PathRec recs[kMaxPathRecords];
    int count = 0;
    float length() const;
};

// Places a train that reaches beyond its block: its head-side end r units from the end it heads for,
// the rest along the block toward its other end and on over the elements behind it; the train then
// holds every element it stands on by presence. false (positions partly changed) when it cannot.
bool placeTrainBeyondBlockEnd(LocoRec* loco, BlockRec* block, float r);
