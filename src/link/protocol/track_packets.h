#pragma once
// The locomotive's cached track packets (direct Motorola and DCC signal).
#include <mutex>

struct LocoRec;

// Held by the GUI thread while it rewrites a packet cache, an accessory decoder's state (gAccessoryState)
// or the lists of locomotives on the track, and by the link thread while it copies them: the link thread
// never sends a half-rewritten packet. Held only for copying, never across a wait or a port call.
std::mutex& trackPacketMutex();

// Rebuilds the packets in the locomotive's packet cache: the Motorola speed and function packets, or
// the DCC speed and F0..F4 strings.
void buildLocoTrackPackets(LocoRec* loco);

// Shows "DCC-commando niet uitvoerbaar !" on the GUI thread (from any thread, without waiting).
void reportDccNotPackable();
