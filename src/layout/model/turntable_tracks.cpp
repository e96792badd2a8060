#include "layout/model/turntable_tracks.h"

// The turntable dialog's ring editing is not built yet.
void toggleTurntableTrack(TurntableRec*, int) {}
