#pragma once
// The dialogs the layout editor opens, reached without the widget headers. Element dialogs are named by
// the hit code of the element they edit: 401 connecting track (frmSpoor), 402 block (frmSektie),
// 403 turnout (frmWissel), 404 signal (frmSein), 405 output (frmUitgang), 406 input (frmIngang),
// 407 turntable (frmDraaischijf), 408 step program (frmStappen). Each call does nothing while the form
// does not exist.

struct TurntableRec;

void showElementDialog(int code);
void closeElementDialog(int code);
bool elementDialogVisible(int code);
// A ring end clicked while the turntable dialog is open: the slot is switched on the diagram and the
// dialog's target list follows.
void toggleTurntableOnDiagram(TurntableRec* turntable, int end);
// The step-program editor's Tag (0: it shows the box chosen in the editor).
void setStepDialogTag(int tag);

// The route editor: shown for a new, changed or deleted route; activated when a block was picked for it.
void showRouteDialog();
void activateRouteDialog();
// The direction ("heen") flow that precedes saving and the connection analysis.
void activateDirectionDialog();
// The file dialogs: the save question, the new-name dialog and the file chooser.
void showSaveQuestion();
void showNewFileDialog();
void showOpenFileDialog();
void closeMainWindow();
