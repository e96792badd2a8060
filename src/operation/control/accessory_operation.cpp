#include "operation/control/accessory_operation.h"

// Accessories are not operated from the control post yet: each request changes nothing.
void toggleTurnout(TurnoutRec*) {}
void toggleSignalForcedRed(SignalRec*) {}
void operateOutput(OutputRec*) {}
void turnTurntable(TurntableRec*, int, int) {}
void setStepProgramState(StepProgramRec*, int) {}
