#include "operation/element_picks.h"

// The pick tests are not built yet: nothing is found under the pointer.
int pickTrackAt(TrackRec*&, int&, int&) { return 0; }
int pickBlockAt(BlockRec*&, int&, int&) { return 0; }
int pickTurnoutAt(TurnoutRec*&) { return 0; }
int pickSignalAt(SignalRec*&) { return 0; }
int pickOutputAt(OutputRec*&) { return 0; }
int pickInputAt(InputRec*&) { return 0; }
int pickTurntableAt(TurntableRec*&, int&) { return 0; }
int pickStepBoxAt(StepProgramRec*&) { return 0; }
