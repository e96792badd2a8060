#include "steps/dialogs/untStappen.h"

#include "layout/editor/editor_state.h"
#include "shell/window/form_setup.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/model/step_program.h"

TfrmStappen* frmStappen = nullptr;

TfrmStappen::TfrmStappen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmStappen", "Stappenprogramma", 640, 480); }

// The editor's grid, fields and formula panel are not built yet: the calls that keep them in step with
// the store and the executor change nothing on the window so far.
bool stepEditorShows(const StepProgramRec* program) {
    return program && frmStappen && frmStappen->isVisible() && gCurStepBox == program;
}
void refreshStepEditor() {}
void showStepEditorWaitLeft(const StepProgramRec*) {}
void fillStepGrid() {}
void clearStepRow(int) {}
void showStepRow(int, int) {}
void fillFormulaCombos() {}

void redrawStepRowOf(int stepIndex) {
    if (!stepEditorShows(gCurStepBox)) return;
    const int row = stepIndex - gCurStepBox->firstStep + 1;
    if (row >= 1 && row <= gCurStepBox->stepCount) showStepRow(stepIndex, row);
}
