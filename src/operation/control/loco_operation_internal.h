#pragma once
// Shared steps of the locomotive operations.
struct LocoRec;

// On a synchronised client: queues the request (role 40, kind 2) and answers true; the caller then
// changes nothing.
bool sentAsRequest(LocoRec* loco, int code, int value);
// The broadcast of a change (role 30, kind 2); nothing is queued unless a client listens.
void broadcastLoco(LocoRec* loco, int code, int value);
// The wait left in the block the train's head stands on := 0, and shown; nothing without head block.
void clearLocoWait(LocoRec* loco);
// The post's buttons of the locomotive's row: the number in its running colour, the mode's first letter
// in the mode's colour, the direction letter in its colour.
void showLocoRunning(LocoRec* loco);
void showLocoMode(LocoRec* loco);
void showLocoDirection(LocoRec* loco);
