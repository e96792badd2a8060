#include "layout/track_entry.h"

// Track and block entry are not built yet: no operation starts, so none is ever running.
bool gInsertingTrack = false;
bool gInsertingBlock = false;
bool gMovingTrack = false;
bool gMovingBlock = false;

int insertTrack() { return -1; }
int insertBlock() { return -1; }
int moveTrack(int, int) { return -1; }
int moveBlock(int, int) { return -1; }
