#include "link/link_buffers.h"

// The link buffers are not kept yet: nothing is queued.
int queueAccessoryCommand(char, int, int, int) { return 0; }
