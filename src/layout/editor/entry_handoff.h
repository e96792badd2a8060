#pragma once
// What an element dialog does when the user confirms an element that the editor has just entered and left
// with it (gEditMode 3): the element becomes part of the layout (drawn, put in its table, journalled, the
// layout marked changed) and the insertion goes on with a new element (gEditMode 5). The dialog first
// stores the values the user chose in the record (gSelectedBlock, gSelectedTurnout, ...). Each answers the
// stored record, or nullptr when no entered element waits for its dialog.
#include "layout/model/layout_model.h"

struct StepProgramRec;

// Whether an element just entered with the tool of hit code 402..408 waits to be confirmed.
bool newElementEntered(int code);

// With its aspects green, its sections normalised.
BlockRec* storeNewBlock();
// Laid out with its leg gMovePointIndex on gJoinPoint, where the commit found it.
TurnoutRec* storeNewTurnout();
// At the block end it was matched to: gSignalBlock, gSignalAngle, gSignalDirection.
SignalRec* storeNewSignal();
OutputRec* storeNewOutput();
InputRec* storeNewInput();
// The step-program editor's new program with its box.
StepProgramRec* storeNewStepProgram();
