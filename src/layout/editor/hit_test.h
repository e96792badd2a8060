#pragma once
// Where element ends lie: the searches with which the editor joins a new element onto the end of
// another one (the point snaps onto that end), the direction in which an element leaves an end, and
// the test whether a point lies on a segment. Coordinates are diagram units; the end searches use
// gSnapTolerance.
#include <cstdint>

#include "layout/model/geometry.h"  // pointOnSegment
#include "layout/model/layout_model.h"

// 1 when p lies within the square of half-size t around q (its edges included); with snap p becomes q.
int pointNear(DiagramPoint& p, DiagramPoint q, int t, bool snap);

// What an end search found. Without the unique flag the first end found is the answer; with it a
// second end anywhere (also the other end of the same element) makes it "several".
template <class Rec>
struct EndHit {
    Rec* element = nullptr;  // the element found (also set with several)
    int end = 0;             // a polyline's first point 0 or its last point (the segment count); a leg 0..3
    bool several = false;
    bool one() const { return element && !several; }
};

// Tracks in table order, first point then last point; the first hit wins and p snaps onto it.
EndHit<TrackRec> findTrackEndAt(DiagramPoint& p, const void* exclude);
EndHit<BlockRec> findBlockEndAt(DiagramPoint& p, const void* exclude, bool unique);
// Turnout points 0..3 in table order; a plain turnout's unused leg 3 at 0,0 counts like any point.
EndHit<TurnoutRec> findTurnoutPointAt(DiagramPoint& p, const void* exclude, bool unique);

// A connected track end on the ring of a turntable. slot is a filter on entry (0 any, else ring slot + 1)
// and the slot + 1 of the hit on return. end is slot + 1 for the outer end of a slot and
// slot + positions + 1 for the opposite end across the pit.
TurntableRec* findTurntableTrackAt(DiagramPoint& p, int& end, int& slot, const void* exclude, bool snap);

// The element whose end lies at a point, for joining onto it.
struct ConnectionHit {
    char kind = 0;  // 'v' track, 'b' block, 'k' turnout, 'd' turntable; 0 none
    bool several = false;  // more than one end lies there: the point is taken
    TrackRec* track = nullptr;
    BlockRec* block = nullptr;
    TurnoutRec* turnout = nullptr;
    TurntableRec* turntable = nullptr;
    int end = 0;        // as the end searches give it; a turntable's end number
    char letter = 0;    // a block's allowed direction 'H', 'T', 'B'
    int angle = 0;      // direction (-179..180) in which the element leaves the end; 999 any direction
    bool one() const { return kind != 0 && !several; }
};
ConnectionHit findConnectionAt(DiagramPoint& p, const void* exclude);

// Direction in which a turnout leaves its point 0..3 (not normalised).
int turnoutConnectionAngle(const TurnoutRec& t, int point);


// A point that joins the end of another element (not `record`) must leave at most 60 degrees off the
// straight line through that end; otherwise the user is told and the answer is 0.
int checkJoinAngle(const void* record, DiagramPoint point, int direction);
