#include "network/sync/server_receive.h"

#include <cstring>
#include <vector>

#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_sockets.h"
#include "shell/model/version.h"

namespace {

// The client's answer, compared as a zero-terminated text once its zero (or its sixteenth byte) has
// arrived; until then the bytes wait in the connection's own buffer, so an answer split over two
// reads is still taken. The outgoing buffer is left alone: it may hold broadcasts for the clients
// that are already synchronised.
int receiveAnswer(int client, int count) {
    std::vector<uint8_t>& pending = gNetClientPending[client];
    for (int k = 0; k < count && pending.size() < static_cast<size_t>(kNetAnswerSize); ++k) {
        pending.push_back(gNetInBuffer[k]);
        if (gNetInBuffer[k] == 0) break;
    }
    if (pending.back() != 0 && pending.size() < static_cast<size_t>(kNetAnswerSize)) return 1;
    const std::vector<uint8_t> expected = netAnswer(kVersionText);
    const bool equal = pending.back() == 0 && pending == expected;
    pending.clear();
    if (!equal) {
        gNetClientStates[client] = 0;
        return 0;
    }
    gNetClientStates[client] = 3;
    setNetLabelVisible(true);
    return 1;
}

}  // namespace

int netServerReceive(int client, int count) {
    if (client < 0 || client >= gNetClientCount || count <= 0) return 0;
    switch (gNetClientStates[client]) {
        case 2: return receiveAnswer(client, count);
        // Requests of a synchronised client are not handled yet.
        default: return 0;
    }
}
