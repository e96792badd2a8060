#pragma once
// Entering a polyline point by point: a connecting track, a block or a turntable's bridge. One call per
// input while the operation runs; the point being placed is point n, n = *last (the segment count).
// Segments before it are shown as rubber bands, the one to point n follows the pointer within 60 degrees
// of the segment before it. A click or Enter fixes point n; on a free element end the polyline starts
// there (n = 0) or ends there; a second click on the same spot or the last point ends it too, and the
// commit operation decides.
#include <cstdint>

#include "layout/model/layout_model.h"

struct Polyline {
    void* record = nullptr;        // a TrackRec or BlockRec; the join searches pass over it
    DiagramPoint* points = nullptr;
    int32_t* angles = nullptr;     // angles[k]: direction of the segment from point k to point k + 1
    int32_t* last = nullptr;       // the index of the last point (segments, sections)
    int maxPoints = 0;
    bool block = false;
};
Polyline polylineOf(TrackRec& t);
Polyline polylineOf(BlockRec& b);

// 1 accepts the finished polyline, 0 refuses it (its message shown). letter is the allowed direction of
// the last block one of its points was joined to ('H', 'T', 'B'), 0 when none.
using PolylineCommit = int (*)(void* record, char letter);

// Answers the new gEditMode: 1 following, 4 the next point follows (or the entry restarts at point n),
// 3 committed (or 8 when the commit asked for the block dialog), 2 refused, 6 cancelled.
int enterPolyline(const Polyline& line, PolylineCommit commit);

// The direction the segment to point n should keep near: for point 1 the direction in which the element
// joined at point 0 leaves its end, after that the direction of the segment before; kNoDirection for
// point 0 or without a join.
int polylineReference(const Polyline& line, int n);
