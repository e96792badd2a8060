#include "operation/engine/signal_aspects.h"

// Aspects are not evaluated yet: a train is never told that it may proceed.
char reevaluateTrain(LocoRec*) { return 'S'; }
