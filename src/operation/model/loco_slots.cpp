#include "operation/model/loco_slots.h"

#include "operation/model/train_model.h"

int locoOwnIndex(const LocoRec& loco) { return loco.slot; }
