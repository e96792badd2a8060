#include "steps/step_file.h"

int loadStepProgramFile() { return 0; }
void clearStepPrograms() {}
