#pragma once
// The layout editor's command dispatcher.

// Carries out an editor command code; 0 takes the pending key or the mouse hit.
void dispatchEditorCommand(int code);
