#include "steps/model/step_program.h"

RecordTable<StepProgramRec, 50> gStepPrograms;
RecordTable<StepRec, 500> gSteps;
