#include "operation/control/wagon_coupling.h"

// Until wagons and coupling are built nothing is uncoupled or found.
int uncoupleWagons(LocoRec*, WagonRec*) { return 0; }
int pickWagonAt(WagonHit&, int) { return 0; }
int pickTrainWagonAt(WagonHit&) { return 0; }
