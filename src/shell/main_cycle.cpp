#include "shell/main_cycle.h"

void mainCycleTick() {}
