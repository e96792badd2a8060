// The steps of demos 3, 4 and 6: one and three locomotives without, and one with track control.
#include "shell/main/demo_steps.h"

bool performTrainDemoStep(int step) {
    (void)step;
    return false;
}
