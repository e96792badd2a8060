#include "shell/main/demo.h"

// The demos are not built yet; the start dialog's "Demo" leaves the program in stand-alone editing.
void runDemoStep(int) {}
