#pragma once
// Occupancy contacts turned into train events, wanted speeds turned into speed steps, the start pause
// and the wait read-out.
struct BlockRec;
struct LocoRec;

// What a block's contacts say of a train heading for that end of it: result 0 nothing, 1 it entered,
// 2 it reached its stop section, 3 its station; role is the kind (1..6) of the section that says so.
// With track control the occupied sections tell, without it the train's leading end.
struct SectionContact {
    int result = 0;
    int role = 0;
};
SectionContact findSectionContact(const BlockRec& block, const LocoRec& loco, char heading);

// 1 when the block's assigned train was handled.
int evaluateSectionContacts(BlockRec* block);
// 1 when a train that took the wrong way was stopped.
int checkWrongWay(BlockRec* block);
// Sets the train's target step for a speed in km/h.
void setTargetSpeed(LocoRec* loco, int speed);
int speedStepForSpeed(LocoRec* loco, int speed);
// 1 when the start pause began.
int startTimedStop(LocoRec* loco);
// The start pause itself: the locomotive stands at step 1 until `seconds` have passed.
void beginStartPause(LocoRec* loco, int seconds);
// The wait left of the train in control-post row 0..19 (0 while its head is off a block).
void showLocoWaitTime(int row);
// The block the train's head stands on; null while the head runs over a track or turnout.
BlockRec* headBlockOf(const LocoRec& loco);
