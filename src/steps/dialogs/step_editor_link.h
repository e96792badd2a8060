#pragma once
// What the step-program store, the executor and the formula engine ask of the step-program editor
// (TfrmStappen), without knowing the window.
struct StepProgramRec;

// True while the editor is open on this program.
bool stepEditorShows(const StepProgramRec* program);
// Refreshes the editor: the run state, the marked row of the current step and the four fields.
void refreshStepEditor();
// Shows the program's wait left in the editor's time field unless the user is editing that field.
void showStepEditorWaitLeft(const StepProgramRec* program);
// Row n of the grid shows step n of the current program; the grid ends with an empty row.
void fillStepGrid();
// Blanks grid row `row` (1-based).
void clearStepRow(int row);
// Grid row `row` (1-based) shows the step at gSteps index stepIndex.
void showStepRow(int stepIndex, int row);
// Redraws the grid row of the step at gSteps index stepIndex when the open editor shows its program.
void redrawStepRowOf(int stepIndex);
// Refills the condition and action formula-number lists from gFormulas and hides them.
void fillFormulaCombos();
