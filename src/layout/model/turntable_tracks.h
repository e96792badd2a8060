#pragma once
// Switching a track position of a turntable's ring on or off while its dialog is open.
struct TurntableRec;

// end: the ring end clicked, numbered as findTurntableTrackAt numbers them (slot + 1, or slot + positions + 1
// for the opposite end).
void toggleTurntableTrack(TurntableRec* turntable, int end);
