#include "operation/engine/contact_evaluation.h"

// Until contacts are evaluated no contact explains a train and no train is stopped for one; no target
// speed is taken from a block or a route, so trains keep the step they were given.
int evaluateSectionContacts(BlockRec*) { return 0; }
int checkWrongWay(BlockRec*) { return 0; }
void setTargetSpeed(LocoRec*, int) {}
int speedStepForSpeed(LocoRec*, int) { return 0; }
int startTimedStop(LocoRec*) { return 0; }
void showLocoWaitTime(int) {}
