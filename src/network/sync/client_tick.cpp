#include "network/sync/client_tick.h"

// The client socket is not opened yet (the network mode does not connect), so there is nothing to
// mirror and nothing to send.
void runTrainsCycleClient() {}
void netClientSendPass() {}
