#include "layout/point_entry.h"

// Point-element entry is not built yet: no operation starts, so none is ever running.
bool gInsertingTurnout = false;
bool gInsertingSignal = false;
bool gInsertingOutput = false;
bool gInsertingInput = false;
bool gInsertingStepBox = false;
bool gMovingTurnout = false;
bool gMovingSignal = false;
bool gMovingOutput = false;
bool gMovingInput = false;
bool gMovingStepBox = false;

int insertTurnout(char) { return -1; }
int insertSignal() { return -1; }
int insertOutput() { return -1; }
int insertInput() { return -1; }
int insertStepBox() { return -1; }
int moveTurnout(int) { return -1; }
int moveSignal(int) { return -1; }
int moveOutput(int) { return -1; }
int moveInput(int) { return -1; }
int moveStepBox(int) { return -1; }
