// The steps of demo 1, the layout drawn through the editor.
#include "shell/main/demo_steps.h"

bool performDrawingDemoStep(int step) {
    (void)step;
    return false;
}
