#include "shell/main/session.h"

// Sessions are not started yet: the request changes nothing, and no dialog is closed.
int toggleControlPostSession(int) { return 0; }
void startOrStopSessionWithTrack() {}
void closeAllDialogs(int) {}
