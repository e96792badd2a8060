#pragma once
// The layout editor's command dispatcher: every menu item, key and click of the main window in editor
// mode arrives here as one command code.

// Carries out an editor command code; 0 takes the pending key, or after a click what lies under the
// mouse point (the tool bar's letter, an element 401..408, a layer button 501..504).
void dispatchEditorCommand(int code);

// The code the dispatcher last acted on (0 when the last input hit nothing).
int lastEditorCommand();
