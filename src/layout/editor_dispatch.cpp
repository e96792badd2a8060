#include "layout/editor_dispatch.h"

void dispatchEditorCommand(int) {}
