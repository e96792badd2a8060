#include "operation/control/accessory_operation.h"

// Until the control post is built these change nothing.
void toggleTurnout(TurnoutRec*) {}
void toggleSignalForcedRed(SignalRec*) {}
void operateOutput(OutputRec*) {}
void setStepProgramState(StepProgramRec*, int) {}
