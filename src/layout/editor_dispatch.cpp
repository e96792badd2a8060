#include "layout/editor_dispatch.h"

void dispatchEditorCommand(int) {}
// No editor operation can be started yet.
int dispatchEditInput(int) { return 0; }
int editedPointElement() { return 0; }
