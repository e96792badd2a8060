// The steps of demos 2, 5 and 7: a route, seven locomotives with routes, step programs.
#include "shell/main/demo_steps.h"

bool performRouteDemoStep(int step) {
    (void)step;
    return false;
}
