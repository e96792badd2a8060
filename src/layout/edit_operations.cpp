#include "layout/edit_operations.h"

// The editor's insert and move operations do not exist yet, so none is ever in progress.
bool trackOrBlockEditInProgress() { return false; }
bool turnoutOrSignalEditInProgress() { return false; }
