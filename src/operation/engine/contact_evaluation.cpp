#include "operation/engine/contact_evaluation.h"

// The wait label is not filled yet.
void showLocoWaitTime(int) {}
