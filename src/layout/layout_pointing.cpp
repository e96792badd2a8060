#include "layout/layout_pointing.h"

// Pointing and moving the layout are not built yet: neither ever runs.
bool gPickingPoint = false;

int pickPoint() { return 0; }
int moveLayoutInteractive() { return -1; }
