#pragma once
// Entering and moving connecting tracks, blocks and turntables point by point. Every operation is a step
// function: the first call starts it, every later input of the main window calls it again (through
// dispatchEditInput) until it answers -1; it answers 1 while it runs. Its flag is set while it runs.
#include <cstdint>

#include "layout/model/layout_model.h"

extern bool gInsertingTrack;  // also while a turntable is entered with its bridge (gTurntableMode)
extern bool gInsertingBlock;
extern bool gMovingTrack;
extern bool gMovingBlock;

// A track insertion goes on with a new track after every track until it is cancelled. With gTurntableMode
// the one track entered is a turntable's bridge and the turntable is made around it.
int insertTrack();
// A finished block goes to the block dialog (gEditMode 3), which stores it and lets the insertion go on
// with a new block (gEditMode 5), until the insertion is cancelled.
int insertBlock();
// The first call takes the element's table index and the point it was taken by (0 or the last point:
// re-enter that end; another point: drag it; with gMoveWhole the whole polyline); later calls ignore them.
int moveTrack(int index, int point);
int moveBlock(int index, int point);

// The commits of the entry: 1 accepts, 0 refuses. A new track is stored in gTracks at once (a turntable's
// bridge with its turntable in gTurntables); a new block is numbered and given its sections and stays with
// its dialog; a block of one section is refused. A moved block without end contacts asks for its dialog
// (gEditMode 8).
int commitTrack(TrackRec& track);
int commitBlock(BlockRec& block, char direction);

// The lowest turntable number 1..3 that no turntable has, 0 when all are taken.
int freeTurntableNumber();
