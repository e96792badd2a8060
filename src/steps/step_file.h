#pragma once
// Step programs and the step-program file (<layout>.stp).
int loadStepProgramFile();
void clearStepPrograms();
