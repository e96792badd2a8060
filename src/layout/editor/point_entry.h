#pragma once
// Placing and moving point elements: turnouts and crossings, signals, outputs, inputs and step-program
// boxes. Step functions like those of track entry: the first call starts the operation, later inputs
// (through dispatchEditInput) call it again until it answers -1; 1 while it runs. Each follows the
// pointer with placeElementLoop.
//
// An insertion makes a record at the pointer; a click commits it (commitTurnout ...). Except for a
// crossing, which is stored at once, the committed element waits for its dialog (gEditMode 3), which
// stores it and lets the insertion go on with a new element (gEditMode 5, entry_handoff.h), or closes and
// lets the same element follow the pointer again (gEditMode 4). A move finishes with the commit; a signal's
// move with the signal dialog's confirmation (gEditMode 5).

extern bool gInsertingTurnout;
extern bool gInsertingSignal;
extern bool gInsertingOutput;
extern bool gInsertingInput;
extern bool gInsertingStepBox;
extern bool gMovingTurnout;
extern bool gMovingSignal;
extern bool gMovingOutput;
extern bool gMovingInput;
extern bool gMovingStepBox;

// subtype 'l', 'r', 'k' or 'x' and the leg held at the pointer (0 from the tool bar and the keys) on the
// first call; later calls ignore them.
int insertTurnout(char subtype, int leg = 0);
int insertSignal();
int insertOutput();
int insertInput();
int insertStepBox();
// The first call takes the element's table index; later calls ignore it.
int moveTurnout(int index);
int moveSignal(int index);
int moveOutput(int index);
int moveInput(int index);
int moveStepBox(int index);

// The leg of the turnout being placed that follows the pointer.
int heldTurnoutLeg();
