#pragma once
// The step-program file: the layout's file name with "stp" as its last three characters.
#include <string>

std::string stepProgramFileName();
// Reads the file into the emptied store. 1 read; 0 when there is no file (no message) or it cannot be used
// (a message, and the store stays empty while the rest of the layout stays loaded). With keepBoxes every
// program takes the box that the program at its table position had before (throwing away unsaved edits
// without undoing moved boxes).
int loadStepProgramFile(int keepBoxes);
// Writes every program (sorted by name), step and formula, boxes relative to a zero layout offset, through a
// temporary file. Outside a session the table itself is sorted; during a session it keeps its order, because
// peers name programs by table index. 1 saved; 0 with a message when the file cannot be written.
int saveStepProgramFile();
// Frees every program, step and formula.
void clearStepPrograms();
