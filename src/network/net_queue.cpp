#include "network/net_queue.h"

// No network link exists yet: no role matches, nothing is kept.
int netQueueRecord(int, int, int, int, int, int) { return 0; }
