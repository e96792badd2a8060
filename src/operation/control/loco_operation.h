#pragma once
// Operating a locomotive on the track from its control-post row.
struct LocoRec;

// Switches the locomotive on or off; returns the new running flag.
int toggleLocoRun(LocoRec* loco);
// Shows the speed in the control-post row: what 0 everything, 1 colours only, 2 text and colours.
void showLocoSpeed(LocoRec* loco, int what);
// Fills control-post row 0..19 from the locomotive on the track in that row.
void fillControlPostRow(int row);
// Takes the locomotive and its train off the track; 0 (refused) while its target step is not 0.
int takeLocoOffTrack(LocoRec* loco);
// Stops the locomotive at once: target and current step 0, the speed queued.
void stopLoco(LocoRec* loco);
// Sends a direction change over the speed channel: the speed is held for `cycles` main cycles.
void queueLocoReverse(LocoRec* loco, int cycles);
// Brings the target step to n, through the departure checks of the first step when starting from 0.
void setLocoSpeedStep(LocoRec* loco, int n);
// The next running mode ("Rangeer" -> "Manueel" -> "Auto" -> "Traject"); 1 changed, 0 refused.
int cycleLocoMode(LocoRec* loco);
// Reverses the direction of travel; 1 reversed, 0 refused (the train is not standing still).
int reverseLoco(LocoRec* loco);
// Switches force mode (flag 0x04) on or off.
void toggleLocoForce(LocoRec* loco);
// Deletes the locomotive (taking it off the track first); 1.
int deleteLoco(LocoRec* loco);
