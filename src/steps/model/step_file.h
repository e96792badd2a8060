#pragma once
// Step programs and the step-program file (<layout>.stp).
int loadStepProgramFile();
// Writes every program, step and formula to the file; 1 saved, 0 not.
int saveStepProgramFile();
void clearStepPrograms();
// The highest contact number that a step condition on a contact (condition codes 1 and 2) names, 0 none.
int highestStepConditionContact();
