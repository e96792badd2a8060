#include "link/mm_programming.h"

// No programming sequence can be started yet.
void runMmProgrammingStep() {}
