#include "network/sync/server_receive.h"

#include <cstring>
#include <vector>

#include "network/model/net_queue.h"
#include "network/model/net_record_lengths.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_sockets.h"
#include "network/sync/server_requests.h"
#include "shell/model/app_state.h"
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

// A synchronised client's requests. The bytes join what is left of the client's last read, and every
// complete record is handled in turn; an unfinished one waits for the next read. A record whose kind
// and code no client sends cannot be framed, so the rest of the data is dropped.
int receiveRequests(int client, int count) {
    std::vector<uint8_t>& tail = gNetClientPending[client];
    tail.insert(tail.end(), gNetInBuffer, gNetInBuffer + count);
    int understood = 1;
    size_t pos = 0;
    while (tail.size() - pos >= 2) {
        const int length = netRecordLength(tail[pos], tail[pos + 1], NetDirection::ToServer);
        if (length <= 0) {
            tail.clear();
            return 0;
        }
        if (tail.size() - pos < static_cast<size_t>(length)) break;
        // The record is handled where a single read would have left it, so that an echo finds it.
        std::memcpy(gNetInBuffer, tail.data() + pos, static_cast<size_t>(length));
        pos += static_cast<size_t>(length);
        gRequestingClient = client + 1;
        if (!netHandleRequest(length)) understood = 0;
        gRequestingClient = 0;
    }
    tail.erase(tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(pos));
    return understood;
}

}  // namespace

int netServerReceive(int client, int count) {
    if (client < 0 || client >= gNetClientCount || count <= 0 || count > kNetBufferSize) return 0;
    switch (gNetClientStates[client]) {
        case 2: return receiveAnswer(client, count);
        case 30: return receiveRequests(client, count);
        default: return 0;
    }
}
