#include "layout/editor/editor_state.h"

TrackRec* gSelectedTrack = nullptr;
BlockRec* gSelectedBlock = nullptr;
int gSelectedSection = 0;
TurnoutRec* gSelectedTurnout = nullptr;
SignalRec* gSelectedSignal = nullptr;
OutputRec* gSelectedOutput = nullptr;
InputRec* gSelectedInput = nullptr;
TurntableRec* gSelectedTurntable = nullptr;
StepProgramRec* gCurStepBox = nullptr;
int8_t gMoveWhole = 0;
uint8_t gTurntableMode = 0;
