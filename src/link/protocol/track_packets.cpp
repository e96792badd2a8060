#include "link/protocol/track_packets.h"

// The track-signal encoders are not built yet; the cache stays as allocated.
void buildLocoTrackPackets(LocoRec*) {}
