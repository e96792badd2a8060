#include "operation/engine/helper_locos.h"

// Helper locomotives are not linked yet, so re-marking a wagon changes nothing.
void setWagonKind(WagonRec*, char, int, int) {}

// Wagons are not placed on blocks yet.
int placeWagonOnBlock(WagonRec*, BlockRec*, int) { return 0; }

// Wagon lengths are not applied yet.
int applyWagonLength(WagonRec*) { return 0; }
