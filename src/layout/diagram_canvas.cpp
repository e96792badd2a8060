#include "layout/diagram_canvas.h"

#include "shell/schema_canvas.h"

void recreateBackBuffer() { makeBackBuffer(); }
