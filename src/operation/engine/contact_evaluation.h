#pragma once
// Occupancy contacts turned into train events, wanted speeds turned into speed steps, the start pause
// and the wait read-out.
struct BlockRec;
struct LocoRec;

// 1 when the block's assigned train was handled.
int evaluateSectionContacts(BlockRec* block);
// 1 when a train that took the wrong way was stopped.
int checkWrongWay(BlockRec* block);
// Sets the train's target step for a speed in km/h.
void setTargetSpeed(LocoRec* loco, int speed);
int speedStepForSpeed(LocoRec* loco, int speed);
// 1 when the start pause began.
int startTimedStop(LocoRec* loco);
// The wait left of the train in control-post row 0..19.
void showLocoWaitTime(int row);
