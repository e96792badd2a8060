#pragma once
// The reference block from which the connection analysis settles the outward direction ('heen').
#include "layout/model/layout_model.h"

// Orders gBlocks by ascending number (neighbours swapped, so equal numbers keep their order).
void sortBlocksByNumber();

// Orders the blocks by number and takes the first of the five lowest-numbered that is not a
// reversing-loop block. Without one: the message "Er zijn te veel keerlussen" and nullptr;
// without blocks nullptr.
BlockRec* chooseReferenceBlock();

// The user says the reference block runs the other way round: its last point becomes its first.
void reverseBlock(BlockRec* b);
