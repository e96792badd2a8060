#include "operation/engine/running_engine.h"

// No train runs yet.
void runTrainsCycle() {}
