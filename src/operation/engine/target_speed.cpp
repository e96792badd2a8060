#include "operation/engine/target_speed.h"

// Until the contact evaluation is built no speed has a step.
int speedStepForSpeed(LocoRec*, int) { return 0; }
