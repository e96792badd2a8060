#include "network/sync/server_copy.h"

// The server socket is not opened yet (the network mode does not listen), so no client is served.
void netServerSendPass() {}
