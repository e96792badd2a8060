#pragma once
// Routing one input of the main window to the editor operation in progress.

// Bit of gShiftState set for the duration of dispatchEditInput(1): the running operation must end now.
constexpr int kFinishRequest = 16;

// Calls the step of the operation in progress, in this priority: insert track, block, turnout, signal,
// output, input, step program; move track, block, turnout, signal, output, input, step program; pick a
// point; move the whole layout. Answers what the step answered (1 still running, 2 a point was picked,
// -1 finished) or 0 when none runs. -1 empties the line-length read-out; gEditOpRunning follows the answer.
int dispatchEditInput(int finish);

// True for an input that came from a mouse button (gMouseButton 1..3; -1 marks the movement after a left
// release, 0 a key).
bool mouseButtonInput();
