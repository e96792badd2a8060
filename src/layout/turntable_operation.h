#pragma once
// Turntable operation.
struct TrackRec;
struct TurntableRec;

// Puts the bridge track's two points at the ends of the bridge turned to angle (radians).
void turntableBridgeEnds(TurntableRec* turntable, float angle, TrackRec* track);
