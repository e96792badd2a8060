#pragma once
// Operating turnouts, signals and outputs during a session.
struct OutputRec;
struct SignalRec;
struct TurnoutRec;

// Throws the turnout to its other position.
void toggleTurnout(TurnoutRec* turnout);
// Forces the signal to red, or releases it.
void toggleSignalForcedRed(SignalRec* signal);
// Switches the output to the state of its button.
void operateOutput(OutputRec* output);
