#pragma once
// Operating accessories during a session: turnouts, signals, outputs, turntables and the run state of
// step programs.
struct OutputRec;
struct SignalRec;
struct StepProgramRec;
struct TurnoutRec;
struct TurntableRec;

// Throws the turnout to its other position (crossings never).
void toggleTurnout(TurnoutRec* turnout);
// Switches the turnout between manual and automatic (its partner too).
void toggleTurnoutManual(TurnoutRec* turnout);
// Forces the signal to red, or releases it.
void toggleSignalForcedRed(SignalRec* signal);
// Switches the output by its button.
void operateOutput(OutputRec* output);
// Commands the turntable's decoder toward ring end `track` (1..2n); command 1 left click, 2 right click,
// the others the dialog's buttons.
void turnTurntable(TurntableRec* turntable, int track, int command);
// The program's next run state after `state`: 0 -> 1 -> 2 -> 0.
void setStepProgramState(StepProgramRec* program, int state);
