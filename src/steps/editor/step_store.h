#pragma once
// Changing the step-program store as a whole: steps in and out of a program, deleting and duplicating
// programs. Every change keeps each program's run of gSteps contiguous and the runs apart.
struct StepProgramRec;

// Inserts an empty step at 1-based position 1..step count + 1, or deletes the step at 1..step count
// (deleteFlag). Jump targets of the program at or after the position follow. 1 done; 0 refused: silently
// outside the positions, with "Het maximaal aantal stappen is bereikt" when a step more would pass 500 in
// all or 255 in the program.
int insertOrDeleteStep(StepProgramRec* program, int position, int deleteFlag);
// Frees the program's steps and the program.
void deleteStepProgram(StepProgramRec* program);
// Appends a copy of the program with copies of its steps, its box at (10, 10), and makes it the editor's
// program. 1 done; 0 with "Maximum wordt overschreden" when the programs or the steps would be too many.
int duplicateStepProgram(StepProgramRec* program);
