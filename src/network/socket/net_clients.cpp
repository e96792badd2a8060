#include "network/socket/net_clients.h"

#include "platform/clock.h"

QTcpSocket* gNetClients[kMaxNetClients] = {};
uint8_t gNetClientStates[kMaxNetClients] = {};
std::vector<uint8_t> gNetClientPending[kMaxNetClients];
int gNetClientCount = 0;
uint32_t gNetClientJoinedMs[kMaxNetClients] = {};
bool gNetClientListChanged = false;

int netAddClient(QTcpSocket* socket) {
    if (gNetClientCount >= kMaxNetClients) return -1;
    const int i = gNetClientCount++;
    gNetClients[i] = socket;
    gNetClientStates[i] = 1;
    gNetClientPending[i].clear();
    gNetClientJoinedMs[i] = vestrel::tickCountMs();
    return i;
}

int netRemoveClient(QTcpSocket* socket) {
    const int i = netClientIndex(socket);
    if (i < 0) return -1;
    for (int k = i; k + 1 < gNetClientCount; ++k) {
        gNetClients[k] = gNetClients[k + 1];
        gNetClientStates[k] = gNetClientStates[k + 1];
        gNetClientJoinedMs[k] = gNetClientJoinedMs[k + 1];
        gNetClientPending[k].swap(gNetClientPending[k + 1]);
        gNetClientListChanged = true;
    }
    --gNetClientCount;
    gNetClients[gNetClientCount] = nullptr;
    gNetClientStates[gNetClientCount] = 0;
    gNetClientPending[gNetClientCount].clear();
    return i;
}

int netSilentClient(uint32_t nowMs) {
    for (int i = 0; i < gNetClientCount; ++i)
        if ((gNetClientStates[i] == 1 || gNetClientStates[i] == 2) && nowMs - gNetClientJoinedMs[i] >= kNetAnswerWaitMs)
            return i;
    return -1;
}

int netClientIndex(const QTcpSocket* socket) {
    for (int i = 0; i < gNetClientCount; ++i)
        if (gNetClients[i] == socket) return i;
    return -1;
}

void netForgetClients() {
    for (int i = 0; i < kMaxNetClients; ++i) {
        gNetClients[i] = nullptr;
        gNetClientStates[i] = 0;
        gNetClientPending[i].clear();
    }
    gNetClientCount = 0;
    gNetClientListChanged = false;
}
