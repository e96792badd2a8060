#pragma once
// Which layout element lies under the mouse point (gMousePoint). Each test answers its hit code or 0
// and reports the element. In the editor an element's drawn line is tested, during a session its anchor.
// The element passed in is skipped (the one being moved).
#include "layout/layout_model.h"

struct StepProgramRec;

// 401: a connecting track; point is the nearer segment end (segment index, + 1 on the second half).
int pickTrackAt(TrackRec*& track, int& point, int& segment);
// 402: a block; the segment is the section index.
int pickBlockAt(BlockRec*& block, int& point, int& section);
int pickTurnoutAt(TurnoutRec*& turnout);   // 403
int pickSignalAt(SignalRec*& signal);      // 404
int pickOutputAt(OutputRec*& output);      // 405
int pickInputAt(InputRec*& input);         // 406
// 407: a turntable; track 0 is the bridge, 1..n a track end on the ring, n+1..2n the end opposite.
int pickTurntableAt(TurntableRec*& turntable, int& track);
int pickStepBoxAt(StepProgramRec*& box);   // 408
