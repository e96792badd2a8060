#pragma once
// Lengths of tracks and block sections in centimetres of the real layout.
#include "layout/model/layout_model.h"

// A connecting track's length: its segments summed, in centimetres, rounded.
int trackLength(const TrackRec& track);
// The length of the block's sections of that kind, in centimetres, rounded.
int sectionKindCentimetres(const BlockRec& block, int kind);
// The length of the block's sections of that kind, in layout units, rounded.
int sectionKindLength(const BlockRec& block, int kind);
// Sets bit s of the block's occupied-section mask for every section s of that kind and answers their
// length in centimetres, rounded.
int markSectionsOfKind(BlockRec& block, int kind);
