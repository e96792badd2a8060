#include "layout/draw/diagram_area.h"

DrawRect gDrawArea{0, 0, 640, 480 - 88};
DiagramPoint gCanvasCentre{320, 240};
