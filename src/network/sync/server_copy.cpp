#include "network/sync/server_copy.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_sockets.h"
#include "shell/model/version.h"

int gNetSendCounter = 0;

namespace {

void sendClientNumbers() {
    for (int i = 0; i < gNetClientCount; ++i) {
        if (gNetClientStates[i] != 30) continue;
        const int number = i + 1;
        const uint8_t record[kNetRecordSize] = {18, 18, 0, 0, 0, 0, static_cast<uint8_t>(number & 0xFF),
                                                static_cast<uint8_t>(number >> 8)};
        netServerWrite(i, record, kNetRecordSize);
    }
}

}  // namespace

void netServerSendPass() {
    if (++gNetSendCounter < 3) return;
    if (!netServerListening()) {
        gNetSendCounter = 0;
        return;
    }
    const uint8_t before = gNetLinkState;
    gNetLinkState = 0;
    netQueueTrainChanges();
    for (int i = 0; i < gNetClientCount; ++i) {
        gNetLinkState = std::max(gNetLinkState, gNetClientStates[i]);
        if (gNetOutFill > 0 && gNetClientStates[i] == 30) netServerWrite(i, gNetOutBuffer, gNetOutFill);
    }
    if (gNetClientListChanged) sendClientNumbers();
    gNetOutFill = 0;
    gNetClientListChanged = false;
    if (gNetLinkState != before) colourNetLabel(gNetLinkState >= 3 ? vestrel::clGreen : vestrel::clGray);
    for (int i = 0; i < gNetClientCount; ++i) {
        if (netBuildSnapshot(i) == 0) continue;
        netServerWrite(i, gNetOutBuffer, gNetOutFill);
        break;
    }
    gNetOutFill = 0;
    gNetSendCounter = 0;
}

int netBuildSnapshot(int client) {
    if (client < 0 || client >= gNetClientCount) return 0;
    uint8_t s = gNetClientStates[client];
    if (s == 30) return gNetOutFill;
    if (s == 1) {
        const std::vector<uint8_t> banner = netBanner(kVersionText);
        std::memcpy(gNetOutBuffer, banner.data(), banner.size());
        gNetOutFill = kNetBannerSize;
        s = 2;
    }
    // States 3..21, the full copy, are filled in while the session runs: not built yet, so a client
    // that passed the handshake waits in state 3.
    if (gNetClientStates[client] == 0) return 0;
    gNetClientStates[client] = s;
    return gNetOutFill;
}

// No train positions are sent yet.
int netQueueTrainChanges() { return gNetOutFill; }
