#pragma once
// Signal aspects, stops and route progress of the trains.
struct LocoRec;

// Looks again at what the train may do now; answers the aspect it sees ('G' may proceed).
char reevaluateTrain(LocoRec* loco);
