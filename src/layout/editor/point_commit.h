#pragma once
// Where point elements may stand: the commits of point-element entry (1 accepts, 0 refuses with a
// message) and the attachment of a signal to a block end.
#include "layout/model/layout_model.h"

struct StepProgramRec;

// A leg on an element end snaps onto it and must meet it at most 60 degrees off the straight line; the
// join point and leg go to gJoinPoint and gMovePointIndex. A new crossing is stored at once (gEditMode 5);
// another new turnout gets a free number and its dialog.
int commitTurnout(TurnoutRec& t);
// The signal must stand at a free end section of a block, looking its way: the match goes to gSignalBlock,
// gSignalAngle and gSignalDirection, and the signal dialog opens.
int commitSignal(SignalRec& s);
int commitOutput(OutputRec& o);
int commitInput(InputRec& i);
int commitStepBox(StepProgramRec& p);

// 1 or 2 (the half of the section) when the signal's anchor lies within 12 units of an end section of the
// block whose kind serves the signal's direction ('H' at a kind-6 section, 'T' at a kind-1 section), with
// the angle and end letter the signal takes there; -1 when another signal already guards that end; 0 when
// it stands near no suitable section.
int matchSignalToBlock(const SignalRec& s, const BlockRec& b, int& angle, char& letter);
