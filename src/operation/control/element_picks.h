#pragma once
// Which layout element lies under the mouse point (gMousePoint). While a session runs an element is hit
// near its anchor; in the editor on its drawn line (within 3 units). Each test answers its hit code
// (401..408) or 0 and reports what it hit. A table scan stops at an element whose anchor is still 0,0
// (one being placed).

struct PickHit {
    void* element = nullptr;
    int index = -1;    // table index
    int point = 0;     // tracks and blocks: the nearer point of the segment hit
    int segment = 0;   // tracks and blocks: the segment hit (for a block its section index, 0-based)
    int track = 0;     // turntables: 0 the bridge or pit, p + 1 or p + positions + 1 a ring end of slot p
};

int pickTrackAt(PickHit& hit);
int pickBlockAt(PickHit& hit);
// skip: in the editor the table index of an element to pass over; during a session -1 widens the
// tolerance from 2 to 3 times the snap tolerance (not for inputs).
int pickTurnoutAt(int skip, PickHit& hit);
int pickSignalAt(int skip, PickHit& hit);
int pickOutputAt(int skip, PickHit& hit);
int pickInputAt(int skip, PickHit& hit);
int pickTurntableAt(PickHit& hit);
int pickStepBoxAt(int skip, PickHit& hit);
