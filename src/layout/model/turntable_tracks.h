#pragma once
// Switching a track position of a turntable's ring on or off while its dialog is open.
struct TurntableRec;

// end: the ring end clicked, numbered as findTurntableTrackAt numbers them (slot + 1, or slot + positions + 1
// for the opposite end). Slot 0 (ends 1 and positions + 1) is always connected; the connected slots are
// numbered 2, 3, ... in slot order. Answers 1 when a slot was switched.
int toggleTurntableTrack(TurntableRec* turntable, int end);
