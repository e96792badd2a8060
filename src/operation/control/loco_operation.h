#pragma once
// Operating a locomotive on the track from its control-post row, the locomotive panel, the driving
// panel, step programs and network requests. On a synchronised client (gNetLinkState 40) each
// operation only queues its request for the server and changes nothing; elsewhere it acts and queues
// its broadcast for the clients.
#include <string>

struct LocoRec;
struct PositionRec;

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
// One speed step up (key 38) or down (40) for the locomotive in control-post row `row`; with
// showReason the reason it does not start is shown.
void stepLocoSpeed(LocoRec* loco, int row, int key, int showReason);
// The wait time one second longer ('+') or shorter ('-').
void adjustLocoWaitTime(LocoRec* loco, int key);
// The next running mode; 1 when the mode changed, 0 refused.
int cycleLocoMode(LocoRec* loco);
// Reverses the locomotive; 1 reversed, 0 refused.
int reverseLoco(LocoRec* loco);
// Forced running (coupling) on or off.
void toggleLocoForce(LocoRec* loco);
// Automatic speed correction on or off.
void toggleLocoAsc(LocoRec* loco);
// Tells why the locomotive does not proceed: reason 0 takes gBlockedReason, another reason is stored
// there first. While the server applies a client's request the text goes to the clients instead.
void showLocoBlockedReason(LocoRec* loco, int reason);
// The text of a reason code for locomotive `number` (empty for a code without text).
std::string blockedReasonText(int number, int code);
// The position seen from the other end: direction negated, its two section indexes swapped.
void reversePosition(PositionRec& position);
// Every end of the train (head and both chains' wagons) seen from the other end.
void reverseTrainPositions(LocoRec* loco);
// A block without assigned train under the position is assigned to the locomotive; a turnout without
// holder gets it as holder.
void claimPositionOwner(LocoRec* loco, const PositionRec& position);
// Marks the element under a wagon end as carrying a wagon and returns it (null off the track); a
// locomotive without connection gives up that block (unless it is its head block) or that turnout.
void* markWagonAtPosition(LocoRec* loco, const PositionRec& position);

// The first locomotive on the track whose head lies within `tolerance` of the mouse point: 410 with
// the locomotive and its control-post row, else 0.
int pickLocoAt(int tolerance, LocoRec*& loco, int& row);

// Takes the locomotive off the track when it stands there, removes it from gLocs (the later
// locomotives move up) and puts its own wagons, uncoupled, at the start of the off-track wagons.
// The record and its speed table are freed. 1.
int deleteLoco(LocoRec* loco);
// Frees the wagon at that index of gWagons; the later wagons move down and the zone ends follow. 1, or
// 0 for an index outside the table.
int freeWagonSlot(int index);
