#include "steps/step_file.h"

int loadStepProgramFile() { return 0; }
void clearStepPrograms() {}

// No step programs are kept yet, so no step names a contact.
int highestStepConditionContact() { return 0; }
