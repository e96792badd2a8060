#include "operation/control/accessory_operation.h"

#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"

// Until the control post's accessory operation is built, throwing only turns the position and draws
// the turnout (which queues its command); no train is re-routed.
void toggleTurnout(TurnoutRec* turnout) {
    if (!turnout || turnout->subtype == 'x') return;
    turnout->position = turnout->position == 'G' ? 'R' : 'G';
    drawTurnout(*turnout, 0, 1);
}

// Signals, outputs, turntables and step programs are not operated from the control post yet: each
// request changes nothing.
void toggleSignalForcedRed(SignalRec*) {}
void operateOutput(OutputRec*) {}
void turnTurntable(TurntableRec*, int, int) {}
void setStepProgramState(StepProgramRec*, int) {}
