#include "layout/element_delete.h"

// Deleting is not built yet: the elements stay.
void deleteTrack(int, bool) {}
void deleteBlock(int, bool) {}
void deleteTurnout(int, bool) {}
void deleteSignal(int, bool) {}
void deleteOutput(int, bool) {}
void deleteInput(int, bool) {}
void deleteTurntable(int, bool) {}
