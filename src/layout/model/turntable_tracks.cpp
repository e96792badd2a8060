#include "layout/model/turntable_tracks.h"

#include "layout/model/layout_model.h"

int toggleTurntableTrack(TurntableRec* t, int end) {
    if (!t) return 0;
    const int n = t->positions;
    // Ends outside the ring (a file or a peer may hold anything) name no slot; slot 0 stays connected.
    if (n < 1 || n > kTurntablePositions || end <= 1 || end > 2 * n || end == n + 1) return 0;
    const int slot = end > n ? end - n - 1 : end - 1;
    t->positionOfConnection[slot] = t->positionOfConnection[slot] ? 0 : 1;
    t->positionOfConnection[0] = 1;
    int next = 2;
    for (int s = 1; s < n; ++s)
        if (t->positionOfConnection[s] != 0) t->positionOfConnection[s] = static_cast<uint8_t>(next++);
    return 1;
}
