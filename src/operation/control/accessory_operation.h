#pragma once
// Operating accessories and step programs from the control post, the dialogs, the step programs and peers.
struct OutputRec;
struct SignalRec;
struct StepProgramRec;
struct TurnoutRec;

// Throws the turnout (re-routing a train that holds it).
void toggleTurnout(TurnoutRec* turnout);
// Forces the signal to red, or releases it.
void toggleSignalForcedRed(SignalRec* signal);
// Switches the output to its button's state.
void operateOutput(OutputRec* output);
// The program's next run state: 1 after 0, 2 after 1, 0 after anything else.
void setStepProgramState(StepProgramRec* program, int state);
