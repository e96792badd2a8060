#include "network/sync/client_tick.h"

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_sockets.h"

// The mirror of the server's trains is not animated yet.
void runTrainsCycleClient() {}

// Only a synchronised client sends: a request that reached the server before the handshake answer
// would be compared as that answer and refused.
void netClientSendPass() {
    if (gNetLinkState != 40 || gNetOutFill == 0 || !netClientOpen()) return;
    netClientWrite(gNetOutBuffer, gNetOutFill);
    gNetOutFill = 0;
}
