#include "shell/session.h"

// Sessions are not started yet: the request changes nothing.
int toggleControlPostSession(int) { return 0; }
