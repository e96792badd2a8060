#pragma once
// The locomotive's cached track packets (direct Motorola and DCC signal).
struct LocoRec;

// Rebuilds the packets in the locomotive's packet cache.
void buildLocoTrackPackets(LocoRec* loco);
