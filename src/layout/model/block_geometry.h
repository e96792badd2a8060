#pragma once
// What the rest of the program reads of a block's shape and sections: per section its length and unit
// direction with the block's total length, and the rules that keep its section kinds and contacts in order.
#include "layout/model/layout_model.h"

constexpr uint8_t kBlockIncomplete = 0x40;  // some section has a kind but no contact number

// Section lengths (float) and unit directions of sections 1..min(15, sections), and the total length
// rounded. A section of zero length gets the direction 0,0.
void computeBlockGeometry(BlockRec& b);

// The last section becomes kind 6; along the block a section after one of kind 4..6 takes at least that
// kind (with its contact), and neighbours of the same kind share the first one's contact. A section with
// a kind but no contact marks the block incomplete.
void normalizeBlockSections(BlockRec& b);
