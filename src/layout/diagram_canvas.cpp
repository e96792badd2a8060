#include "layout/diagram_canvas.h"

void recreateBackBuffer() {}
