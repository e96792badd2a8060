#include "operation/loco_slots.h"

#include "operation/train_model.h"

int locoOwnIndex(const LocoRec& loco) { return loco.slot; }
