#pragma once
// Operating turnouts, signals, outputs and step programs during a session.
struct OutputRec;
struct SignalRec;
struct StepProgramRec;
struct TurnoutRec;

// Throws the turnout to its other position.
void toggleTurnout(TurnoutRec* turnout);
// Forces the signal to red, or releases it.
void toggleSignalForcedRed(SignalRec* signal);
// Switches the output to its button's state.
void operateOutput(OutputRec* output);
// The program's next run state: 1 after 0, 2 after 1, 0 after anything else.
void setStepProgramState(StepProgramRec* program, int state);
