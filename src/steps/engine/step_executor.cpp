#include "steps/engine/step_executor.h"

// No step program is kept yet, so none runs.
void runStepPrograms() {}
