#pragma once
// Table positions of locomotive records, as other subsystems name them.
struct LocoRec;

// The locomotive's own index in gLocs.
int locoOwnIndex(const LocoRec& loco);
