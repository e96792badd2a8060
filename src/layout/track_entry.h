#pragma once
// Entering and moving connecting tracks, blocks and turntables point by point. Every operation is a step
// function: the first call starts it, every later input of the main window calls it again (through
// dispatchEditInput) until it answers -1; it answers 1 while it runs. Its flag is set while it runs.
#include <cstdint>

extern bool gInsertingTrack;  // also while a turntable is entered with its bridge (gTurntableMode)
extern bool gInsertingBlock;
extern bool gMovingTrack;
extern bool gMovingBlock;

int insertTrack();
int insertBlock();
// The first call takes the element's table index and the point it was taken by (0 or the last point:
// re-enter that end; another point: drag it; with gMoveWhole the whole polyline); later calls ignore them.
int moveTrack(int index, int point);
int moveBlock(int index, int point);
