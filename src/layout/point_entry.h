#pragma once
// Placing and moving point elements: turnouts and crossings, signals, outputs, inputs and step-program
// boxes. Step functions like those of track entry: the first call starts the operation, later inputs
// (through dispatchEditInput) call it again until it answers -1; 1 while it runs. Each follows the
// pointer with placeElementLoop.

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

// subtype 'l', 'r', 'k' or 'x' on the first call; later calls ignore it.
int insertTurnout(char subtype);
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
