#pragma once
// Operating turnouts, signals and outputs during a session.
struct TurnoutRec;

// Throws the turnout to its other position.
void toggleTurnout(TurnoutRec* turnout);
