#pragma once
// The layout editor's command dispatcher.

// Carries out an editor command code; 0 takes the pending key or the mouse hit.
void dispatchEditorCommand(int code);
// Feeds the current input to the editor operation in progress: 1 still running, -1 finished, 0 none.
// A non-zero finish asks the operation to end now.
int dispatchEditInput(int finish);
// The hit code of the point element an editor operation is inserting or moving (403 turnout, 404 signal,
// 405 output, 406 input, 408 step-program box), 0 when none.
int editedPointElement();
