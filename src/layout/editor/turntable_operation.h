#pragma once
// Turntable operation.
struct DiagramPoint;
struct TrackRec;
struct TurntableRec;

// Puts the bridge track's two points at the ends of the bridge turned to angle (radians).
void turntableBridgeEnds(TurntableRec* turntable, float angle, TrackRec* track);
// Whether the bridge can be put back from the turntable's centre and radius: it has a radius and
// positions, and its centre lies on the middle of its bridge track. A damaged layout (or a server)
// can give a centre elsewhere; the bridge track then stays where it is stored.
bool turntableBridgeFollowsCentre(const TurntableRec& turntable);
// Lays the turntable out (layoutTurntable) and tells the user when its positions had to be limited.
int layoutTurntableAndTell(TurntableRec& t, const DiagramPoint* first, const DiagramPoint* second);
// The next connected ring slot from the current one, one way (+1) or the other (-1), as a 1-based slot
// number; 0 while the bridge stands between positions.
int nextTurntableTrack(const TurntableRec* turntable, int direction);
