#include "operation/control/accessory_operation.h"

// Accessories are not operated from a session yet.
void toggleTurnout(TurnoutRec*) {}
void toggleSignalForcedRed(SignalRec*) {}
void operateOutput(OutputRec*) {}
