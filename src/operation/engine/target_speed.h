#pragma once
// Target speeds of the trains.
struct LocoRec;

// The speed step of the locomotive whose speed-table value lies nearest to speed km/h.
int speedStepForSpeed(LocoRec* loco, int speed);
