#pragma once
// State shared by the insert and move operations of the editor and the dialogs that finish them.
#include <memory>

#include "layout/model/layout_model.h"
#include "steps/model/step_program.h"

constexpr int kNoDirection = 999;

// Direction of the segment before the point being placed, kNoDirection when there is none; while one inner
// point is dragged gPlacementAngleAfter holds the direction the segment after it should keep near.
extern int gPlacementAngle;
extern int gPlacementAngleAfter;
// The point of a polyline being moved; for a turnout the leg that stands on gJoinPoint.
extern int gMovePointIndex;
extern bool gMovingOnePoint;  // an inner point of a polyline is dragged
// Where a turnout joined another element (or where its held leg stood when it joined none).
extern DiagramPoint gJoinPoint;
// The block end a signal was matched to: the block, the signal's angle there and the end ('H' or 'T').
extern BlockRec* gSignalBlock;
extern int gSignalAngle;
extern char gSignalDirection;

// The records an insertion made that are not in their tables yet (the element's gSelected... pointer
// names the same record). The insertion frees them when it is cancelled; storing one takes it out.
struct EnteredRecords {
    std::unique_ptr<TrackRec> track;
    std::unique_ptr<TurntableRec> turntable;
    std::unique_ptr<BlockRec> block;
    std::unique_ptr<TurnoutRec> turnout;
    std::unique_ptr<SignalRec> signal;
    std::unique_ptr<OutputRec> output;
    std::unique_ptr<InputRec> input;
    std::unique_ptr<StepProgramRec> stepProgram;
};
extern EnteredRecords gEntered;
