#include "link/port/direct_mode_pass.h"

// The direct track signal is not generated yet.
bool runDirectModePass() { return false; }
