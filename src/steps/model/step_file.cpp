#include "steps/model/step_file.h"

#include "steps/model/step_program.h"

// The step-program file is not read or written yet.
int loadStepProgramFile() { return 0; }
int saveStepProgramFile() { return 0; }

void clearStepPrograms() {
    gStepPrograms.clear();
    gSteps.clear();
}

// No step is entered yet, so no step names a contact.
int highestStepConditionContact() { return 0; }
