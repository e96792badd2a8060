#include "operation/loco_slots.h"

// No locomotive records are kept yet; the first slot stands in.
int locoOwnIndex(const LocoRec&) { return 0; }
